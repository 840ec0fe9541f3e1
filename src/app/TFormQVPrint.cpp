// The main window's printing: File > "Printer settings", File > "Print" and
// File > "Export" > "... as PDF". The printout itself is drawn by print/.
#include "app/TFormQV.h"

#include "print/PrinterTarget.h"
#include "print/QVPrint.h"
#include "print/TFormPrintInfo.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace qv {

namespace {

// The menu of `parent` named `name`, made before `before` when there is none.
QMenu *SubMenu(QMenu *parent, const char *name, const QString &title, QAction *before)
{
    if (QMenu *found = parent->findChild<QMenu *>(QLatin1String(name), Qt::FindDirectChildrenOnly))
        return found;
    auto *menu = new QMenu(title, parent);
    menu->setObjectName(QLatin1String(name));
    parent->insertMenu(before, menu);
    return menu;
}

bool PrinterBusy(const QPrinter &printer)
{
    return printer.printerState() == QPrinter::Active;
}

} // namespace

void TFormQV::createPrintMenus(QMenu *file, QAction *before)
{
    MenuPrintSetup = new QAction(QStringLiteral("Printer settings"), file);
    file->insertAction(before, MenuPrintSetup);
    QMenu *print = SubMenu(file, "MenuPrint", QStringLiteral("Print"), before);
    MenuPrintHistory = print->addAction(QStringLiteral("History"));
    MenuPrintResults = print->addAction(QStringLiteral("Searching results"));
    MenuPrintMemory = print->addAction(QStringLiteral("Memory"));
    QMenu *exports = SubMenu(file, "MenuExport", QStringLiteral("Export"), print->menuAction());
    MenuExportPdfHistory = exports->addAction(QStringLiteral("History as PDF"));
    MenuExportPdfResults = exports->addAction(QStringLiteral("Searching results as PDF"));
    MenuExportPdfMemory = exports->addAction(QStringLiteral("Memory as PDF"));

    connect(MenuPrintSetup, &QAction::triggered, this, [this] {
        repaint();
        if (!CheckPrinter(this, QPrinterInfo::availablePrinterNames(), PrinterBusy(printer())))
            return;
        QPrintDialog dialog(&printer(), this);
        dialog.exec();
    });
    const std::pair<QAction *, PrintKind> prints[] = {{MenuPrintHistory, PrintKind::History},
                                                      {MenuPrintResults, PrintKind::Results},
                                                      {MenuPrintMemory, PrintKind::Memory}};
    for (const auto &[action, kind] : prints) {
        connect(action, &QAction::triggered, this, [this, kind = kind] {
            repaint();
            PrintGrid(kind);
        });
    }
    const std::pair<QAction *, PrintKind> exportsTo[] = {{MenuExportPdfHistory, PrintKind::History},
                                                         {MenuExportPdfResults, PrintKind::Results},
                                                         {MenuExportPdfMemory, PrintKind::Memory}};
    for (const auto &[action, kind] : exportsTo) {
        connect(action, &QAction::triggered, this, [this, kind = kind] {
            repaint();
            const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export as PDF"), DirHist,
                                                              QStringLiteral("PDF files (*.pdf)"));
            if (!path.isEmpty())
                ExportPdf(kind, path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive)
                                    ? path
                                    : path + QStringLiteral(".pdf"));
        });
    }
    // Exporting follows the rules of printing.
    connect(MenuPrintHistory, &QAction::changed, this, [this] { MenuExportPdfHistory->setEnabled(MenuPrintHistory->isEnabled()); });
    connect(MenuPrintResults, &QAction::changed, this, [this] { MenuExportPdfResults->setEnabled(MenuPrintResults->isEnabled()); });
    connect(MenuPrintMemory, &QAction::changed, this, [this] { MenuExportPdfMemory->setEnabled(MenuPrintMemory->isEnabled()); });
}

QPrinter &TFormQV::printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

namespace {

PrintRows RowsOf(TFormQV &window, PrintKind kind)
{
    switch (kind) {
    case PrintKind::History:
        return PrintRows{window.store().hist(), kind, window.store().HistRows()};
    case PrintKind::Results:
        return PrintRows{window.store().reply(), kind,
                         window.store().ReplyOK() ? window.store().reply().rowCount() : 0};
    case PrintKind::Memory:
    default:
        return PrintRows{window.memo(), PrintKind::Memory, window.memo().rowCount()};
    }
}

// Runs a printout under the busy cursor and with the progress window.
PrintResult RunPrintout(TFormQV &window, PrintKind kind, PrintTarget &target)
{
    window.SetBusyCursor(Qt::WaitCursor);
    PrintInfoProgress progress(&window);
    const PrintRows rows = RowsOf(window, kind);
    window.SetBusyCursor(Qt::ArrowCursor);
    return PrintTable(rows, target, &progress, &window);
}

} // namespace

void TFormQV::PrintGrid(PrintKind kind)
{
    if (!CheckPrinter(this, QPrinterInfo::availablePrinterNames(), PrinterBusy(printer())))
        return;
    printer().setOutputFormat(QPrinter::NativeFormat);
    PrinterTarget target(printer());
    RunPrintout(*this, kind, target);
}

bool TFormQV::ExportPdf(PrintKind kind, const QString &path)
{
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setPageLayout(printer().pageLayout());
    PrinterTarget target(pdf);
    if (target.toPdf(path)) {
        const PrintResult result = RunPrintout(*this, kind, target);
        if (result != PrintResult::Failed)
            return result == PrintResult::Printed;
    }
    ShowInfoBox(this, target.error(), QStringLiteral("QV-7xx"), IconWarning);
    return false;
}

} // namespace qv
