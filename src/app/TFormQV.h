// The main window: the instrument on the Meter view, the History, Memory and
// Chart views, the tab strip and the menu. It starts the instrument on the stored
// (or given) port, follows the meter's state through the instrument's events,
// and stores the link settings when it closes.
#pragma once

#include "app/FileDialogs.h"
#include "app/Settings.h"
#include "dialogs/DialogSeam.h"
#include "history/HistoryCapture.h"
#include "history/HistoryStore.h"
#include "history/Journal.h"
#include "history/JournalStartup.h"
#include "protocol/Records.h"
#include "serial/TComm32VN.h"

#include <QMainWindow>
#include <QPoint>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QFrame;
class QRadioButton;
class QGroupBox;
class QLabel;
class QPushButton;
class QMenu;
class QStackedWidget;
class QTabBar;
class QPrinter;

namespace qv {

class TQVMeter32;
class AutosaveList;
class CellTableModel;
class ChartPage;
class CountDisplay;
struct SaveOptions;
struct SaveResult;
class GroupStrip;
class HelpWindow;
class HistoryGrid;
class Timer;
class TFormMask;
class TSearchBX;
class SearchLabel;
struct TResult;
enum class PrintKind;

// Where the journal of the history is kept, and whether what it holds
// unsaved is restored without asking. An empty path: no journal.
struct JournalSetup {
    QString path = Journal::defaultPath();
    RestorePolicy policy = RestorePolicy::Ask;
};

class TFormQV : public QMainWindow {
    Q_OBJECT
public:
    enum View { ViewMeter = 0, ViewHistory = 1, ViewMemory = 2, ViewChart = 3, ViewCount = 4 };

    // A port or rate given on the command line, applied instead of the stored one.
    struct StartLink {
        QString port;
        std::optional<TBaudRate> baud;
    };

    using JournalSetup = qv::JournalSetup;

    TFormQV(SettingsStore &settings, const StartLink &start = {},
            const SerialPlatform &platform = SerialPlatform::system(), QWidget *parent = nullptr,
            const JournalSetup &journal = JournalSetup());
    ~TFormQV() override;

    TQVMeter32 *QVMeter() const { return m_meter; }
    uint8_t Language() const { return m_language; }

    // The views: the View menu and the tab strip select the same page.
    int currentView() const;
    void selectView(int index);
    // Recomputes which commands are enabled.
    void ButtonsRefresh();
    // An error that reached the event loop after start-up: shown, the port
    // closed; the program goes on.
    void showException(const QString &what);
    // The smallest client area: the instrument in its panel over the tab strip.
    QSize minimumClientSize() const;

    // --- the history ------------------------------------------------------------
    HistoryStore &store() { return *m_store; }
    HistoryCapture &capture() { return *m_capture; }
    CellTable &memo() { return *m_memo; }
    const JournalStart &journalStart() const { return m_journalStart; }
    // Chooses the autosave interval: the fixed item of that many seconds, else
    // "set time" with them (0: off).
    void chooseAutosave(uint32_t seconds);
    // The list's choice as the user makes it (CBAutoInsertChange).
    void CBAutoInsertChange(int index);
    void BtnInsertMeasClick();
    void BtnDopiszMemoClick();
    void BtnNadpiszMemoClick();
    void BtnDelClick();
    // The memory image arrived (from the meter, or a memory file later).
    void ReceiveMemo(const QByteArray &image);
    // Asks before the history or the memory is overwritten; true to go on.
    bool ConfirmReplace(HistoryGrid *grid);
    void SetBusyCursor(Qt::CursorShape cursor);
    Qt::CursorShape busyCursor() const { return m_cursor; }
    // Del on the current row of the history (asking when AskDelete is set).
    void deleteCurrentRow();
    // Starts editing the comment of the current row when the rules allow it.
    bool startCommentEdit();
    void RefreshComment();
    void SelectRowHistory(int resultRow);
    void RowSelectedOFF();
    // The count display's blink timer.
    void blinkTick();
    void FormResize();
    bool autosaveRunning() const { return m_capture->autosaveRunning(); }

    // --- the files (TFormQVFiles.cpp) --------------------------------------------
    enum class FileKind { History, Results, Memory };
    // Opens a history or memory file: the Open dialog asks for it when `path`
    // is empty (a dropped file or a recent one is given).
    void ReadDataFile(FileKind kind, const QString &path = QString());
    // Saves the history, the search results or the memory image.
    void WriteDataFile(FileKind kind);
    // The history or the search results as CSV.
    void ExportCsv(FileKind kind);
    // The dialogs that ask for file names (nullptr: QFileDialog).
    void setFileDialogs(FileDialogs *dialogs);
    // Most recent first: the names chosen in the Open and Save dialogs, and
    // the histories opened (offered in the File menu).
    QStringList RecentOpen, RecentSave, RecentHistories;
    QMenu *MenuRecentHistories = nullptr;
    QAction *MenuExportHistoryCsv = nullptr, *MenuExportResultsCsv = nullptr;

    // --- the search (TFormQVSearch.cpp) ------------------------------------------
    // Box n (1..15) under history column n, found by its name.
    TSearchBX *SBX(int n) const;
    void BtnSearchClick();
    void BtnOFFClick();
    void SearchBXChange(TSearchBX *sender, const TResult &result);
    void SearchBXEnter(TSearchBX *sender);
    void RBClick();
    void CreateHintReply();
    void MenuFindOperatorsClick();
    void FormHelpMaskDestroy(QPoint topLeft);
    TFormMask *FormMask() const { return m_formMask; }
    // Places the boxes under their columns as the grid scrolls.
    void placeSearchBoxes();

    bool MemoLoaded = false;
    QByteArray MemoBuf;
    bool SearchBusy = false;
    bool CriteriaOn = false;
    // Automatic searching held off while all criteria are switched off.
    bool SuppressAutoSearch = false;
    bool EditingComment = false;
    bool CommentChanged = false;
    QString CommentBefore;
    // Set while a file load, a file save or a search runs; Esc clears it and
    // the running operation asks whether to stop.
    bool InProgress = false;
    QString DirHist, DirMemo, DirFind;
    HeldDialog ConfirmDialog;

    // --- state other parts read ----------------------------------------------
    bool MeterOn = false;
    bool Measuring = false;
    bool StatusAlarm = false;
    bool ProbeSeen = false;
    TDataInfoQV LastInfo{};
    TInfoMeterQV LastInfoMeter{};

    // --- controls -------------------------------------------------------------
    QTabBar *TabSet = nullptr;
    QStackedWidget *NoteBook = nullptr;
    QFrame *PanelQV = nullptr;
    QWidget *PanelMeter = nullptr;
    QLabel *PanelHint = nullptr;
    QAction *MenuViewItems[ViewCount] = {};
    QAction *MenuOperators = nullptr;
    QAction *MenuMeterInfo = nullptr;
    QAction *MenuAbout = nullptr;
    // TFormQVHelp.cpp: Help > Contents (F1 where the instrument does not take it)
    QAction *MenuContents = nullptr;
    // Opens the help at a topic ("000": getting started).
    HelpWindow *ShowHelp(const QString &topic = QStringLiteral("000"));
    QAction *MenuQuit = nullptr;
    QAction *MenuSaveHistory = nullptr, *MenuSaveResults = nullptr, *MenuSaveMemory = nullptr;
    QAction *MenuPrintHistory = nullptr, *MenuPrintResults = nullptr, *MenuPrintMemory = nullptr;
    QAction *MenuOpenHistory = nullptr, *MenuOpenMemory = nullptr;
    QAction *MenuPrintSetup = nullptr;
    QAction *MenuExportPdfHistory = nullptr, *MenuExportPdfResults = nullptr, *MenuExportPdfMemory = nullptr;

    // TFormQVChart.cpp: the Chart view and its export
    ChartPage *PageChart = nullptr;
    QAction *MenuExportChartPng = nullptr, *MenuExportChartSvg = nullptr;
    // Saves the chart as shown (a PNG or SVG picture); false after a message.
    bool ExportChart(bool svg, const QString &path);

    // TFormQVPrint.cpp: printing and the PDF export
    void PrintGrid(PrintKind kind);
    // Writes the table as a PDF file (no dialog); false after a message.
    bool ExportPdf(PrintKind kind, const QString &path);
    QPrinter &printer();

    HistoryGrid *SGHist = nullptr, *SGReply = nullptr, *SGMemo = nullptr;
    GroupStrip *PBHeadH = nullptr, *PBHeadM = nullptr;
    CountDisplay *PBOpisCol0 = nullptr;
    QWidget *PanelBtnH = nullptr, *PanelSearch = nullptr, *PanelBtnQ = nullptr;
    QWidget *Panel5 = nullptr, *PanelBtnR = nullptr;
    QGroupBox *GroupBoxMeas = nullptr, *GroupBoxMemo = nullptr;
    AutosaveList *CBAutoInsert = nullptr;
    QPushButton *BtnInsertMeas = nullptr, *BtnDopiszMemo = nullptr, *BtnNadpiszMemo = nullptr;
    QPushButton *BtnDel = nullptr;
    QPushButton *BtnSearch = nullptr, *BtnOFF = nullptr;
    QCheckBox *CBAutoSearch = nullptr;
    QRadioButton *RB_and = nullptr, *RB_or = nullptr;
    SearchLabel *PBSBX = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // TFormQV.cpp: the window
    void createMenus();
    void createPrintMenus(QMenu *file, QAction *before);
    void createViews();
    void sizeWindow();
    void placeOnScreen();
    void fitPagesInWindow();
    // TFormQVChart.cpp
    QWidget *createChartPage();
    void createChartCommands();
    void focusChart();
    // TFormQVMeter.cpp: the instrument, the settings, shutdown
    void wireInstrument();
    void applyStartLink(const StartLink &start);
    void shutdown();
    // TFormQVHistory.cpp: the History and Memory pages
    void createHistory(const SerialPlatform &platform);
    QWidget *createHistoryPage();
    QWidget *createMemoryPage();
    void prepareGrids();
    void sizeButtons();
    void readFolders();
    void writeFolders();
    void startJournal(const JournalSetup &setup);
    void refreshCount();
    void setHint(const QString &text);
    // TFormQVCapture.cpp: capture, autosave, memory transfer
    void wireHistoryEvents();
    void onReceiveMeas(const TDataMeasQV &meas);
    void onStartMeas();
    void onStopMeas();
    void captionInsertButton();
    void copyMemoToHist(int firstRow, bool resetWidths);
    void showRow(HistoryGrid *grid, int row);
    // Runs a capture (it gives the row written, or -1) and shows its outcome.
    void captureWith(const std::function<int()> &capture);
    // TFormQVEdit.cpp: keys, comments, deletion, the links between the grids
    void wireGrids();
    bool histKey(QKeyEvent *event);
    bool replyKey(QKeyEvent *event);
    void gridHint();
    void deleteRowAsked(int row);
    void afterDelete();
    // TFormQVFiles.cpp: opening, saving and exporting files, drops
    void createFileCommands();
    void refreshFileCommands();
    void readRecentFiles();
    void remember(QStringList &list, const char *name, const QString &path);
    void rebuildRecentMenu();
    bool dropFile(HistoryGrid *grid, const QString &path);
    QString askFileName(bool save, const QString &title, QString &folder, const QStringList &recent,
                        const QString &filter);
    int rowsOf(FileKind kind) const;
    // Asks for a name and writes the file with `write`: true when all of it was written.
    bool saveThroughDialog(const QString &title, QString &folder, const QString &filter,
                           const std::function<SaveResult(const QString &, const SaveOptions &)> &write);
    // Shows the memory image (from the meter or a file) on the Memory view.
    void showMemo(const QByteArray &image);
    // TFormQVSearch.cpp: the search strip
    void createSearchStrip();
    void readSearchSettings();
    void writeSearchSettings();
    void emptyReply();
    bool autoSearchAllowed() const;

    SettingsStore &m_settings;
    uint8_t m_language = 1;
    TQVMeter32 *m_meter = nullptr;
    bool m_shutDown = false;
    // The history and its views. The text widths come from the grid font.
    TextWidths m_widths;
    std::unique_ptr<HistoryStore> m_store;
    std::unique_ptr<CellTable> m_memo;
    std::unique_ptr<QPrinter> m_printer;
    std::unique_ptr<HistoryCapture> m_capture;
    Journal m_journal;
    JournalStart m_journalStart;
    CellTableModel *m_histModel = nullptr, *m_replyModel = nullptr, *m_memoModel = nullptr;
    std::vector<int> m_memoDefaultWidths;
    std::unique_ptr<Timer> m_blinkTimer;
    const Clock *m_clock = nullptr;
    bool m_blinkHidden = false;
    Qt::CursorShape m_cursor = Qt::ArrowCursor;
    bool m_widening = false;
    bool m_linking = false;
    QWidget *m_boxArea = nullptr;
    TFormMask *m_formMask = nullptr;
    std::optional<QPoint> m_maskPos;
    std::unique_ptr<FileDialogs> m_qtFileDialogs;
    FileDialogs *m_fileDialogs = nullptr;
    HelpWindow *m_help = nullptr;
};

} // namespace qv
