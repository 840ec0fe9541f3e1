// TFormQV: measurements into the history (by hand and by autosave), the
// autosave list and its interval dialog, the meter's memory in the Memory
// view and its transfer into the history.
#include "app/TFormQV.h"

#include "app/AutosaveList.h"
#include "app/CellTableModel.h"
#include "app/HistoryGrid.h"
#include "app/TFormSetInterval.h"
#include "history/MemoryTransfer.h"
#include "instrument/QVMeter32.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPushButton>

namespace qv {

namespace {
const char *const SingleMeasureWarning =
    "WARNING\r\n\r\nMeter is set in single measure mode.\r\nAll measures will be appended to history,\r\n"
    "regardless of set time interval.\r\n\r\nTo turn on autosave with selected time interval,\r\n"
    "set meter in continous measure mode.";

bool appActive()
{
    return QGuiApplication::applicationState() == Qt::ApplicationActive;
}
} // namespace

void TFormQV::wireHistoryEvents()
{
    TQVMeter32 &m = *m_meter;
    m.OnReceiveMeas = [this](const TDataMeasQV &meas) { onReceiveMeas(meas); };
    m.OnStartMeas = [this] { onStartMeas(); };
    m.OnStopMeas = [this] { onStopMeas(); };
    m.OnReceiveMemo = [this](const uint8_t *data, uint32_t size) {
        ReceiveMemo(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    };
    connect(CBAutoInsert, qOverload<int>(&QComboBox::activated), this, [this](int i) { CBAutoInsertChange(i); });
    CBAutoInsert->onCloseUp = [this] { m_capture->closeUp(); };
    connect(BtnInsertMeas, &QPushButton::clicked, this, [this] { BtnInsertMeasClick(); });
    connect(BtnDopiszMemo, &QPushButton::clicked, this, [this] { BtnDopiszMemoClick(); });
    connect(BtnNadpiszMemo, &QPushButton::clicked, this, [this] { BtnNadpiszMemoClick(); });
    connect(BtnDel, &QPushButton::clicked, this, [this] { BtnDelClick(); });
    CBAutoInsert->setCurrentIndex(0);
    captionInsertButton();
}

void TFormQV::onReceiveMeas(const TDataMeasQV &meas)
{
    if (m_capture->autosaveOn())
        ConfirmDialog.close();
    MeterOn = true;
    StatusAlarm = false;
    m_capture->flags = {Measuring, MeterOn, SearchBusy};
    captureWith([&] { return m_capture->receiveMeas(meas); });
}

void TFormQV::onStartMeas()
{
    ConfirmDialog.close();
    MeterOn = true;
    StatusAlarm = false;
    Measuring = true;
    m_capture->flags = {Measuring, MeterOn, SearchBusy};
    ButtonsRefresh();
    if (m_capture->autosaveRunning()) {
        RowSelectedOFF();
        if (EditingComment) {
            // The comment being typed is kept as it stands.
            SGHist->setFocus();
            QWidget *editor = SGHist->indexWidget(SGHist->currentIndex());
            if (!editor)
                editor = SGHist->findChild<QWidget *>(QStringLiteral("CommentEdit"));
            if (editor)
                QCoreApplication::postEvent(editor, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
            EditingComment = false;
        }
    }
    m_capture->LastInfo = LastInfo;
    m_capture->startMeas();
    captionInsertButton();
}

void TFormQV::onStopMeas()
{
    MeterOn = true;
    StatusAlarm = false;
    Measuring = false;
    m_capture->flags = {Measuring, MeterOn, SearchBusy};
    m_capture->stopMeas();
    captionInsertButton();
    ButtonsRefresh();
}

void TFormQV::captionInsertButton()
{
    const bool on = m_capture->autosaveOn();
    BtnInsertMeas->setText(on ? QStringLiteral("Synchronize") : QStringLiteral("Append"));
    const QString hint = on ? QStringLiteral("Next write = current time + set interval")
                            : QStringLiteral("Appends last measure to history");
    BtnInsertMeas->setToolTip(hint);
    BtnInsertMeas->setStatusTip(hint);
    BtnInsertMeas->setIcon(m_capture->SyncGlyph ? QIcon(SyncGlyphPixmap()) : QIcon());
    BtnInsertMeas->setIconSize(QSize(8, 8));
    const QString listHint = on ? QStringLiteral("Automatic save measure interval")
                                : QStringLiteral("Select automatic save measure interval");
    CBAutoInsert->setToolTip(listHint);
    CBAutoInsert->setStatusTip(listHint);
}

void TFormQV::CBAutoInsertChange(int index)
{
    const int previous = m_capture->AutoIndex;
    std::optional<uint32_t> seconds;
    if (index == AutosaveSetTime) {
        seconds = TFormSetInterval::ask(this, m_capture->AutoInterval / 1000);
        if (!seconds) {
            // Cancelled: the earlier choice stays, as it was shown.
            CBAutoInsert->setCurrentIndex(previous);
            return;
        }
    }
    m_capture->flags = {Measuring, MeterOn, SearchBusy};
    m_capture->LastInfo = LastInfo;
    const bool warn = m_capture->choose(index, seconds);
    CBAutoInsert->setCurrentIndex(m_capture->AutoIndex);
    CBAutoInsert->setCustomSeconds(m_capture->AutoInterval / 1000);
    captionInsertButton();
    ButtonsRefresh();
    if (warn)
        ShowInfoBox(this, QLatin1String(SingleMeasureWarning), QStringLiteral("QV-7xx ... Autosave"), IconWarning);
}

void TFormQV::chooseAutosave(uint32_t seconds)
{
    const int index = AutosaveChoiceOf(seconds);
    if (index != AutosaveSetTime) {
        CBAutoInsertChange(index);
        return;
    }
    const auto ask = TFormSetInterval::ask;
    TFormSetInterval::ask = [seconds](QWidget *, uint32_t) { return std::optional<uint32_t>(seconds); };
    CBAutoInsertChange(index);
    TFormSetInterval::ask = ask;
}

void TFormQV::BtnInsertMeasClick()
{
    m_capture->flags = {Measuring, MeterOn, SearchBusy};
    m_capture->LastInfo = LastInfo;
    captureWith([&] { return m_capture->pressInsert(); });
}

void TFormQV::captureWith(const std::function<int()> &capture)
{
    // A new row is brought into view only when the user stood on the last one.
    const int current = SGHist->currentIndex().row();
    const bool atEnd = current < 0 || current == m_store->hist().rowCount() - 1;
    const int row = capture();
    if (row >= 0) {
        setHint({});
        if (atEnd)
            showRow(SGHist, row);
    }
    captionInsertButton();
    ButtonsRefresh();
}

void TFormQV::showRow(HistoryGrid *grid, int row)
{
    grid->setCurrentCell(row, grid->currentIndex().isValid() ? grid->currentIndex().column() : 1);
}

void TFormQV::ReceiveMemo(const QByteArray &image)
{
    MeterOn = true;
    StatusAlarm = false;
    showMemo(image);
}

void TFormQV::showMemo(const QByteArray &image)
{
    MemoLoaded = false;
    ButtonsRefresh();
    MemoBuf = image;
    MemoLoaded = FillMemoryTable(*m_memo, MemoBuf, true, m_memoDefaultWidths);
    if (MemoLoaded) {
        selectView(ViewMemory);
        SGMemo->setCurrentCell(0, 1);
        SGMemo->scrollToTop();
        if (appActive())
            SGMemo->setFocus();
    }
    SetBusyCursor(Qt::ArrowCursor);
    ButtonsRefresh();
}

void TFormQV::copyMemoToHist(int firstRow, bool resetWidths)
{
    m_store->Copying = true;
    ButtonsRefresh();
    SetBusyCursor(Qt::WaitCursor);
    if (resetWidths)
        m_store->resetColumnWidths();
    const int added = CopyMemoToHistory(*m_store, MemoBuf, firstRow);
    if (added > 0) {
        SGHist->setCurrentCell(firstRow, 1);
        SGHist->scrollTo(m_histModel->index(firstRow, 1), QAbstractItemView::PositionAtTop);
        if (appActive())
            SGHist->setFocus();
    }
    SetBusyCursor(Qt::ArrowCursor);
    m_store->Copying = false;
    ButtonsRefresh();
}

void TFormQV::BtnDopiszMemoClick()
{
    if (m_capture->autosaveRunning() || !MemoLoaded)
        return;
    const CellTable &hist = m_store->hist();
    const int last = hist.rowCount() - 1;
    copyMemoToHist(hist.cellEmpty(last, hc::Label) ? last : last + 1, false);
}

void TFormQV::BtnNadpiszMemoClick()
{
    if (m_capture->autosaveRunning() || !MemoLoaded)
        return;
    if (!ConfirmReplace(SGHist))
        return;
    m_store->HistDeleteAll();
    copyMemoToHist(0, true);
}

bool TFormQV::ConfirmReplace(HistoryGrid *grid)
{
    const bool hist = grid == SGHist && m_store->HistOK();
    const bool memo = grid == SGMemo && MemoLoaded;
    if (!hist && !memo)
        return true;
    const QString text = QStringLiteral("Overwrite") +
                         (hist ? QStringLiteral(" current history") : QStringLiteral(" memory")) +
                         QLatin1Char('?');
    const bool yes = AskYesNoPlain(this, text, QStringLiteral("QV-7xx ... Replace"), IconQuestion);
    SetBusyCursor(Qt::ArrowCursor);
    return yes;
}

} // namespace qv
