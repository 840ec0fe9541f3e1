// The main window's printing: the File menu's printing and PDF items, the
// printer check where no printer is installed, and a history exported as PDF.
#include "InstrumentRig.h"

#include "app/TFormQV.h"
#include "dialogs/ScriptedDialogs.h"
#include "print/QVPrint.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPrinterInfo>
#include <QTemporaryDir>

using namespace qv;
using qvtest::FakePorts;
using qvtest::IdlePty;

namespace {

class PrintWindowTest : public ::testing::Test {
protected:
    PrintWindowTest() : timers(clock) { ports.names << pty.path; }

    std::unique_ptr<TFormQV> makeForm()
    {
        TComm32QV::ResetSharedState();
        return std::make_unique<TFormQV>(settings, TFormQV::StartLink{}, SerialPlatform{&clock, &timers, &ports},
                                         nullptr, JournalSetup{QString()});
    }

    FakePorts ports;
    IdlePty pty;
    ManualClock clock;
    ManualTimers timers;
    MemorySettingsStore settings;
};

QStringList Titles(const QMenu *menu)
{
    QStringList titles;
    for (const QAction *a : menu->actions())
        if (!a->isSeparator())
            titles << a->text();
    return titles;
}

} // namespace

TEST_F(PrintWindowTest, FileMenuPrintsAndExportsAsPdf)
{
    auto form = makeForm();
    const QMenu *file = form->menuBar()->actions().value(0)->menu();
    ASSERT_TRUE(file);
    const QStringList items = Titles(file);
    EXPECT_TRUE(items.contains("Printer settings"));
    const QMenu *exports = file->findChild<QMenu *>("MenuExport");
    ASSERT_TRUE(exports);
    EXPECT_EQ(Titles(exports).filter("as PDF"),
              (QStringList{"History as PDF", "Searching results as PDF", "Memory as PDF"}));
    EXPECT_LT(items.indexOf("Export"), items.indexOf("Print"));
    EXPECT_LT(items.indexOf("Print"), items.indexOf("Quit"));
    // Exporting is enabled where printing is.
    form->MenuPrintMemory->setEnabled(false);
    EXPECT_FALSE(form->MenuExportPdfMemory->isEnabled());
    form->MenuPrintMemory->setEnabled(true);
    EXPECT_TRUE(form->MenuExportPdfMemory->isEnabled());

    ScriptedDialogHandler answers{DialogAnswer(BtnCodeYes)};
    ScopedDialogHandler scoped(answers);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        form->PrintGrid(PrintKind::History);
        ASSERT_EQ(answers.requests().size(), 1u);
        EXPECT_TRUE(answers.last().text.startsWith("No default printer installed."));
        EXPECT_EQ(answers.last().owner, form.get());
    }

    HistoryRow row;
    row[1] = "07-12-26";
    row[2] = "10:15:30";
    row[3] = "window lamp";
    row[4] = "1.235e3";
    row[15] = "Z.K-700";
    form->store().addCapturedRow(row);
    QTemporaryDir dir;
    const QString pdf = dir.filePath("history.pdf");
    EXPECT_TRUE(form->ExportPdf(PrintKind::History, pdf));
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_TRUE(out.read(5) == "%PDF-");
}
