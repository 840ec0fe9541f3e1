#include "print/QVPrint.h"

#include "dialogs/DialogSeam.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

namespace qv {

QString PrintCaption()
{
    return QStringLiteral("QV-7xx ... Print");
}

namespace {

// The width question: true to go on (in landscape when the user chose it).
bool AcceptWidth(PrintTarget &target, const TableLayout &layout, QWidget *owner)
{
    if (target.landscape())
        return true;
    const QMargins m = AppliedMargins(false, target.portraitBorders(), target.device()->logicalDpiX(),
                                      target.device()->logicalDpiY());
    if (target.device()->width() >= layout.total + m.left() + m.right())
        return true;
    const int answer = AskChoice(owner,
                                 QStringLiteral("Paper width too small.\r\nChange page orientation to landscape?"),
                                 PrintCaption(), IconQuestion, false, false);
    if (answer == BtnCodeYes) {
        target.setLandscape(true);
        return true;
    }
    if (answer == BtnCodeNo)
        return AskYesNoPlain(owner, QStringLiteral("Print area outside paper.\r\nContinue anyway?"),
                             PrintCaption(), IconWarning);
    return false;
}

class Job {
public:
    Job(const PrintRows &rows, PrintTarget &target, PrintProgress *progress)
        : m_rows(rows), m_target(target), m_progress(progress)
    {
    }

    PrintResult run(const TableLayout &layout)
    {
        QPaintDevice *device = m_target.device();
        const QMargins margins = AppliedMargins(m_target.landscape(), m_target.portraitBorders(),
                                                device->logicalDpiX(), device->logicalDpiY());
        const int pageHeight = device->height();
        m_paging = EstimatePaging(m_rows.count, pageHeight, margins, layout.pitch);

        QPainter *painter = m_target.begin(QStringLiteral("QV-7xx"));
        if (!painter)
            return PrintResult::Failed;
        painter->setFont(PrintFont());
        if (m_progress)
            m_progress->start(m_paging.pages, m_paging.lines);

        TablePainter table(*painter, layout, margins, pageHeight, m_rows.kind);
        nextPage();
        table.firstHeading();
        showLine(table);
        bool cancelled = m_progress && m_progress->cancelled();
        std::array<std::string_view, PrintColumns> cells;
        bool ok = true;
        for (int r = 0; r < m_rows.count && !cancelled && ok; ++r) {
            if (m_rows.skipped(r))
                continue;
            // The page is turned only when a row is left for the next one:
            // a full last page is not followed by a blank one.
            if (table.pageFull()) {
                ok = m_target.newPage();
                table.startPage();
                nextPage();
                table.pageTitles();
            }
            m_rows.table.splitRow(r, cells.data(), PrintColumns);
            table.row(cells.data());
            showLine(table);
            cancelled = m_progress && m_progress->cancelled();
        }
        if (m_progress)
            m_progress->finish();
        if (cancelled) {
            m_target.abort();
            return PrintResult::Cancelled;
        }
        if (!ok) {
            m_target.abort();
            return PrintResult::Failed;
        }
        return m_target.end() ? PrintResult::Printed : PrintResult::Failed;
    }

private:
    void nextPage()
    {
        m_page = std::min(m_page + 1, m_paging.pages);
        if (m_progress)
            m_progress->setPage(m_page);
        m_target.setPageTitle(QStringLiteral("QV-7xx page%1/%2").arg(m_page).arg(m_paging.pages));
    }
    void showLine(const TablePainter &table)
    {
        if (m_progress)
            m_progress->setLine(std::min(table.lines(), m_paging.lines));
    }

    const PrintRows &m_rows;
    PrintTarget &m_target;
    PrintProgress *m_progress;
    PagingEstimate m_paging;
    int m_page = 0;
};

} // namespace

PrintResult PrintTable(const PrintRows &rows, PrintTarget &target, PrintProgress *progress, QWidget *owner)
{
    const TableLayout layout = MeasureTable(rows, QFontMetrics(PrintFont(), target.device()));
    const bool wasLandscape = target.landscape();
    if (!AcceptWidth(target, layout, owner))
        return PrintResult::Declined;
    const PrintResult result = Job(rows, target, progress).run(layout);
    if (target.landscape() != wasLandscape)
        target.setLandscape(wasLandscape);
    return result;
}

bool CheckPrinter(QWidget *owner, const QStringList &printers, bool busy)
{
    if (printers.isEmpty()) {
        ShowInfoBox(owner,
                    QStringLiteral("No default printer installed.\r\n"
                                   "The tables can still be saved as PDF files (File > Export)."),
                    QStringLiteral("QV-7xx"), IconWarning);
        return false;
    }
    if (busy) {
        ShowInfoBox(owner, QStringLiteral("Preparing for printing.\r\nTry again later."), QStringLiteral("QV-7xx"),
                    IconInformation);
        return false;
    }
    return true;
}

} // namespace qv
