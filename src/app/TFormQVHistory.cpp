// TFormQV: the History and Memory pages, their grids, strips and buttons,
// the folders of the file dialogs, the journal at start-up, the count display.
#include "app/TFormQV.h"

#include "app/AutosaveList.h"
#include "app/CellTableModel.h"
#include "app/GridStrips.h"
#include "app/HistoryGrid.h"
#include "history/MemoryTransfer.h"
#include "protocol/Cp1250.h"
#include "serial/Timer.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QStandardPaths>
#include <QStyle>
#include <QVBoxLayout>

#include <cstdio>

namespace qv {

namespace {
QFont gridFont()
{
    QFont f = QApplication::font();
    f.setPointSize(8);
    return f;
}

// The advance of each Windows-1250 byte in the grid font.
TextWidths measureFont(const QFont &font)
{
    const QFontMetrics fm(font);
    TextWidths w;
    for (int b = 1; b < 256; ++b) {
        const char c = char(b);
        w.advance[b] = uint16_t(fm.horizontalAdvance(FromCp1250(&c, 1)));
    }
    return w;
}

QString withSlash(QString dir)
{
    if (!dir.isEmpty() && !dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

QPushButton *button(const QString &name, const QString &caption, const QString &hint, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    b->setStatusTip(hint);
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

QWidget *panel(const QString &name, QWidget *parent)
{
    auto *w = new QWidget(parent);
    w->setObjectName(name);
    return w;
}
} // namespace

void TFormQV::createHistory(const SerialPlatform &platform)
{
    m_widths = measureFont(gridFont());
    m_store = std::make_unique<HistoryStore>(m_widths);
    m_memo = std::make_unique<CellTable>(hc::MemoryColumns, m_widths);
    m_clock = platform.clock ? platform.clock : &systemClock();
    m_capture = std::make_unique<HistoryCapture>(*m_store, *m_clock);
    m_histModel = new CellTableModel(m_store->hist(), true, this);
    m_replyModel = new CellTableModel(m_store->reply(), false, this);
    m_memoModel = new CellTableModel(*m_memo, true, this);
    TimerFactory &timers = platform.timers ? *platform.timers : qtTimers();
    m_blinkTimer = timers.create();
    m_blinkTimer->setInterval(67);
    m_blinkTimer->onTimeout = [this] { blinkTick(); };
    m_blinkTimer->setEnabled(true);
}

QWidget *TFormQV::createHistoryPage()
{
    auto *page = panel(QStringLiteral("PageHistory"), NoteBook);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The history grid with its strips, and the button column beside it.
    auto *top = new QHBoxLayout;
    top->setSpacing(0);
    SGHist = new HistoryGrid(HistoryGrid::Hist, m_histModel, gridFont(), page);
    SGHist->setObjectName(QStringLiteral("SGHist"));
    PBHeadH = new GroupStrip(SGHist, false, page);
    PBHeadH->setObjectName(QStringLiteral("PBHeadH"));
    PBOpisCol0 = new CountDisplay(page);
    PBOpisCol0->setFont(gridFont());
    top->addWidget(new GridPane(SGHist, PBHeadH, PBOpisCol0, page), 1);

    PanelBtnH = panel(QStringLiteral("PanelBtnH"), page);
    auto *buttons = new QVBoxLayout(PanelBtnH);
    buttons->setContentsMargins(4, 4, 4, 4);
    GroupBoxMeas = new QGroupBox(QStringLiteral("Autosave:"), PanelBtnH);
    GroupBoxMeas->setObjectName(QStringLiteral("GroupBoxMeas"));
    auto *meas = new QVBoxLayout(GroupBoxMeas);
    CBAutoInsert = new AutosaveList(m_language, GroupBoxMeas);
    BtnInsertMeas = button(QStringLiteral("BtnInsertMeas"), QString(), QString(), GroupBoxMeas);
    meas->addWidget(CBAutoInsert);
    meas->addWidget(BtnInsertMeas);
    GroupBoxMemo = new QGroupBox(QStringLiteral("Memory:"), PanelBtnH);
    GroupBoxMemo->setObjectName(QStringLiteral("GroupBoxMemo"));
    auto *memo = new QVBoxLayout(GroupBoxMemo);
    BtnDopiszMemo = button(QStringLiteral("BtnDopiszMemo"), QStringLiteral("Append"),
                           QStringLiteral("Appends downloaded data to history"), GroupBoxMemo);
    BtnNadpiszMemo = button(QStringLiteral("BtnNadpiszMemo"), QStringLiteral("Replace"),
                            QStringLiteral("Replaces current history with downloaded data"), GroupBoxMemo);
    memo->addWidget(BtnDopiszMemo);
    memo->addWidget(BtnNadpiszMemo);
    BtnDel = button(QStringLiteral("BtnDel"), QStringLiteral("Delete"), QStringLiteral("Deletes history"), PanelBtnH);
    buttons->addWidget(GroupBoxMeas);
    buttons->addWidget(GroupBoxMemo);
    buttons->addWidget(BtnDel);
    buttons->addStretch(1);
    top->addWidget(PanelBtnH);
    column->addLayout(top, 1);

    // The search strip: its criteria boxes and buttons come with the search.
    auto *search = new QHBoxLayout;
    search->setSpacing(0);
    PanelSearch = panel(QStringLiteral("PanelSearch"), page);
    PanelSearch->setMinimumHeight(SGHist->rowHeight() + 4);
    PanelBtnQ = panel(QStringLiteral("PanelBtnQ"), page);
    search->addWidget(PanelSearch, 1);
    search->addWidget(PanelBtnQ);
    column->addLayout(search);

    // The search results under it.
    Panel5 = panel(QStringLiteral("Panel5"), page);
    auto *results = new QHBoxLayout(Panel5);
    results->setContentsMargins(0, 0, 0, 0);
    results->setSpacing(0);
    SGReply = new HistoryGrid(HistoryGrid::Reply, m_replyModel, gridFont(), Panel5);
    SGReply->setObjectName(QStringLiteral("SGReply"));
    results->addWidget(new GridPane(SGReply, nullptr, nullptr, Panel5), 1);
    PanelBtnR = panel(QStringLiteral("PanelBtnR"), Panel5);
    results->addWidget(PanelBtnR);
    column->addWidget(Panel5);

    PanelHint = new QLabel(page);
    PanelHint->setObjectName(QStringLiteral("PanelHint"));
    PanelHint->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    column->addWidget(PanelHint);
    return page;
}

QWidget *TFormQV::createMemoryPage()
{
    auto *page = panel(QStringLiteral("PageMemory"), NoteBook);
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(0, 0, 0, 0);
    SGMemo = new HistoryGrid(HistoryGrid::Memo, m_memoModel, gridFont(), page);
    SGMemo->setObjectName(QStringLiteral("SGMemo"));
    PBHeadM = new GroupStrip(SGMemo, true, page);
    PBHeadM->setObjectName(QStringLiteral("PBHeadM"));
    column->addWidget(new GridPane(SGMemo, PBHeadM, panel(QStringLiteral("PanelMemoCorner"), page), page));
    return page;
}

void TFormQV::prepareGrids()
{
    // Default widths: half of "Integration", "Value" for the value column,
    // "count" for the labels; then every title fits its column.
    const auto fit = [this](const char *text) { return m_widths.width(text); };
    const int plain = fit("Integration") / 2 + 4;
    for (CellTable *t : {&m_store->hist(), &m_store->reply(), m_memo.get()}) {
        for (int c = 0; c <= hc::Notes; ++c)
            t->setColumnWidth(c, c == hc::Value ? fit("Value") + 4 : plain);
        for (int c = 1; c <= hc::Notes; ++c)
            t->widenColumn(c, t->fitWidth(CellBytes(HistColTitle(1, c)).toStdString()));
    }
    m_store->hist().setColumnWidth(0, fit("count") + 3);
    m_store->reply().setColumnWidth(0, fit("count") + 3);
    m_store->hist().setColumnWidth(hc::Id, 0);
    m_store->reply().setColumnWidth(hc::Id, 0);
    PrepareMemoryTable(*m_memo);
    const auto &w = m_store->hist().columnWidths();
    m_store->DefaultColWidths.assign(w.begin(), w.begin() + hc::Notes + 1);
    const auto &mw = m_memo->columnWidths();
    m_memoDefaultWidths.assign(mw.begin(), mw.begin() + hc::Notes + 1);
    m_store->onChange = [this](const HistoryChange &) { refreshCount(); };
    refreshCount();
}

void TFormQV::sizeButtons()
{
    // One width for the buttons: the widest list text (the interval of 100 s
    // stands for "set time") with the list's arrow, or a caption with the glyph.
    const QFontMetrics fm(CBAutoInsert->font());
    int w = fm.horizontalAdvance(IntervalText(m_language, 100));
    for (int i = 0; i < AutosaveSetTime; ++i)
        w = std::max(w, fm.horizontalAdvance(AutosaveItemText(m_language, i)));
    w += style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 9;
    const QFontMetrics bm(BtnInsertMeas->font());
    w = std::max(w, std::max(bm.horizontalAdvance(QStringLiteral("Append")),
                             bm.horizontalAdvance(QStringLiteral("Synchronize"))) + 8 + 14);
    for (QWidget *b : std::initializer_list<QWidget *>{CBAutoInsert, BtnInsertMeas, BtnDopiszMemo, BtnNadpiszMemo, BtnDel,
                                                       BtnOFF, BtnSearch})
        b->setFixedWidth(w);
    PanelBtnQ->setFixedWidth(PanelBtnH->sizeHint().width());
    PanelBtnR->setFixedWidth(PanelBtnH->sizeHint().width());
}

void TFormQV::readFolders()
{
    QString data = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (data.isEmpty())
        data = QCoreApplication::applicationDirPath();
    data = withSlash(data);
    DirHist = DirMemo = DirFind = data;
    if (!m_settings.exists())
        return;
    for (auto [name, dir] : {std::pair{"DirMemo", &DirMemo}, {"DirHist", &DirHist}, {"DirFind", &DirFind}}) {
        const auto v = m_settings.value(QLatin1String(name));
        if (v)
            *dir = withSlash(v->toString().isEmpty() ? data : v->toString());
    }
}

void TFormQV::writeFolders()
{
    for (auto [name, dir] : {std::pair{"DirMemo", &DirMemo}, {"DirHist", &DirHist}, {"DirFind", &DirFind}})
        m_settings.setValue(QLatin1String(name), withSlash(*dir));
}

void TFormQV::startJournal(const JournalSetup &setup)
{
    if (setup.path.isEmpty())
        return;
    m_journalStart = StartJournal(*m_store, m_journal, setup.path, setup.policy, [this](int rows) {
        return AskYesNo(this, RestoreQuestion(m_language, rows), QStringLiteral("QV-7xx"), IconQuestion, 0);
    });
    if (!m_journalStart.open) {
        // Another QV-7xx holds it: this one goes on without a journal.
        const QString said = QStringLiteral("The journal cannot be used: ") + m_journalStart.error;
        std::fprintf(stderr, "qv7xx: %s\n", qPrintable(said));
        setHint(said);
    }
    m_journal.onError = [this](const QString &error) {
        std::fprintf(stderr, "qv7xx: the journal: %s\n", qPrintable(error));
        setHint(QStringLiteral("The journal cannot be written: ") + error);
    };
    if (m_journalStart.restored > 0) {
        SGHist->setCurrentCell(m_store->hist().rowCount() - 1, 1);
        const QString said = QStringLiteral("%1 unsaved measurement%2 restored from the journal")
                                 .arg(m_journalStart.restored)
                                 .arg(m_journalStart.restored == 1 ? "" : "s");
        std::fprintf(stderr, "qv7xx: %s\n", qPrintable(said));
        setHint(said);
    } else if (!m_journalStart.movedTo.isEmpty()) {
        std::fprintf(stderr, "qv7xx: the unsaved measurements were put aside in %s\n",
                     qPrintable(m_journalStart.movedTo));
    }
    refreshCount();
}

void TFormQV::refreshCount()
{
    PBOpisCol0->setCount(m_store->HistRows(), m_store->MaxHistRows);
}

void TFormQV::blinkTick()
{
    // Over the limit the number blinks: a third of a second each phase.
    const bool hidden = (m_clock->ticks() / 333) % 2 == 1;
    PBOpisCol0->setBlinkPhase(hidden);
}

void TFormQV::setHint(const QString &text)
{
    PanelHint->setText(text.isEmpty() ? QString() : QLatin1Char(' ') + text);
}

void TFormQV::FormResize()
{
    if (!Panel5 || !SGReply || !TabSet)
        return;
    const int h = SGReply->rowHeight() + (SGReply->showGrid() ? 1 : 0);
    const int extra = centralWidget()->height() - minimumClientSize().height();
    const int k = std::clamp(extra / (2 * h), 0, 5);
    Panel5->setFixedHeight(104 + k * h);
}

void TFormQV::SetBusyCursor(Qt::CursorShape cursor)
{
    m_cursor = cursor;
    while (QApplication::overrideCursor())
        QApplication::restoreOverrideCursor();
    if (cursor != Qt::ArrowCursor)
        QApplication::setOverrideCursor(QCursor(cursor));
}

} // namespace qv
