// TFormQV: File > Open, Save and Export. The reader and the writer do the
// work; the window adds the file dialogs, the questions and messages, the busy
// cursor, the gauge in the hint panel, Esc, the folders and the recent lists,
// and files dropped on the history and memory grids.
#include "app/TFormQV.h"

#include "app/FileDialogs.h"
#include "app/HistoryGrid.h"
#include "app/GridStrips.h"
#include "dialogs/TGauge.h"
#include "files/CsvExport.h"
#include "files/DataFileReader.h"
#include "files/HistoryFileWriter.h"
#include "files/SaveTarget.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QUrl>

namespace qv {

namespace {
constexpr int RecentKept = 8;          // names a dialog remembers
constexpr int RecentHistoriesShown = 5;

QString CsvFilter()
{
    return QStringLiteral("CSV files (*.csv)|*.csv|All files (*.*)|*.*");
}

QString caption(TFormQV::FileKind kind)
{
    switch (kind) {
    case TFormQV::FileKind::History: return QStringLiteral("History");
    case TFormQV::FileKind::Results: return QStringLiteral("Searching results");
    case TFormQV::FileKind::Memory: return QStringLiteral("Memory");
    }
    return {};
}

QString folderOf(const QString &path)
{
    QString dir = QFileInfo(path).absolutePath();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

// The messages are built with "\n"; the dialogs take CR LF.
QString crLf(QString text)
{
    return text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

// A path in a message: shortened to half the work area in the default font.
QString shortenForMessage(const QString &path)
{
    const QFontMetrics fm(QApplication::font());
    const QScreen *screen = QGuiApplication::primaryScreen();
    const int half = screen ? screen->availableGeometry().width() / 2 : 400;
    return ShortenPath(path, [&fm](const QString &s) { return fm.horizontalAdvance(s); }, half);
}

// The first dropped file, or empty.
QString droppedPath(const QMimeData *mime)
{
    if (!mime || !mime->hasUrls())
        return {};
    for (const QUrl &url : mime->urls())
        if (url.isLocalFile())
            return url.toLocalFile();
    return {};
}

// The gauge that fills the hint panel while a file is read or written, with
// the busy cursor; both go when it does.
class FileProgress {
public:
    FileProgress(TFormQV &form) : m_form(form)
    {
        m_form.SetBusyCursor(Qt::WaitCursor);
        m_panel = new QFrame(form.PanelHint);
        m_panel->setObjectName(QStringLiteral("PanelGauge"));
        m_panel->setLineWidth(2);
        auto *fill = new QHBoxLayout(m_panel);
        fill->setContentsMargins(2, 2, 2, 2);
        m_gauge = new TGauge(m_panel);
        m_gauge->setKind(gkHorizontalBar);
        m_gauge->setBorderStyle(bsNone);
        m_gauge->setShowText(false);
        m_gauge->setMinValue(0);
        m_gauge->setMaxValue(100);
        m_gauge->setForeColor(QColor(0x80, 0x80, 0x80));
        m_gauge->setBackColor(form.PanelHint->palette().color(QPalette::Window));
        fill->addWidget(m_gauge);
        m_panel->setGeometry(form.PanelHint->rect());
        m_panel->show();
        QApplication::processEvents();
    }
    ~FileProgress()
    {
        delete m_panel;
        m_form.SetBusyCursor(Qt::ArrowCursor);
    }
    void set(int percent)
    {
        m_gauge->setProgress(percent);
        m_gauge->repaint();
    }

private:
    TFormQV &m_form;
    QFrame *m_panel = nullptr;
    TGauge *m_gauge = nullptr;
};

// Hands files dropped on a grid to the window.
class DropFilter : public QObject {
public:
    DropFilter(QObject *parent, std::function<bool(QWidget *, const QString &)> open)
        : QObject(parent), m_open(std::move(open))
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto *e = static_cast<QDragMoveEvent *>(event);
            if (!droppedPath(e->mimeData()).isEmpty() && static_cast<QWidget *>(watched)->acceptDrops())
                e->acceptProposedAction();
            else
                e->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto *e = static_cast<QDropEvent *>(event);
            const QString path = droppedPath(e->mimeData());
            if (!path.isEmpty() && m_open(static_cast<QWidget *>(watched), path))
                e->acceptProposedAction();
            else
                e->ignore();
            return true;
        }
        default:
            return false;
        }
    }

private:
    std::function<bool(QWidget *, const QString &)> m_open;
};
} // namespace

void TFormQV::createFileCommands()
{
    auto *fileMenu = qobject_cast<QMenu *>(MenuQuit->parent());
    auto *saveMenu = qobject_cast<QMenu *>(MenuSaveHistory->parent());
    // After Save: the recent histories, then Export.
    QAction *before = nullptr;
    const QList<QAction *> items = fileMenu->actions();
    const int at = items.indexOf(saveMenu->menuAction());
    if (at >= 0 && at + 1 < items.size())
        before = items[at + 1];
    MenuRecentHistories = new QMenu(QStringLiteral("Recent histories"), fileMenu);
    MenuRecentHistories->setObjectName(QStringLiteral("MenuRecentHistories"));
    fileMenu->insertMenu(before, MenuRecentHistories);
    auto *exportMenu = fileMenu->findChild<QMenu *>(QStringLiteral("MenuExport"));
    if (!exportMenu) {
        exportMenu = new QMenu(QStringLiteral("Export"), fileMenu);
        exportMenu->setObjectName(QStringLiteral("MenuExport"));
        fileMenu->insertMenu(before, exportMenu);
    }
    MenuExportHistoryCsv = exportMenu->addAction(QStringLiteral("History as CSV"));
    MenuExportResultsCsv = exportMenu->addAction(QStringLiteral("Searching results as CSV"));

    // The window repaints before each command starts: the closed menu leaves no trace.
    const auto command = [this](QAction *action, std::function<void()> run) {
        connect(action, &QAction::triggered, this, [this, run] {
            repaint();
            run();
        });
    };
    command(MenuOpenHistory, [this] { ReadDataFile(FileKind::History); });
    command(MenuOpenMemory, [this] { ReadDataFile(FileKind::Memory); });
    command(MenuSaveHistory, [this] { WriteDataFile(FileKind::History); });
    command(MenuSaveResults, [this] { WriteDataFile(FileKind::Results); });
    command(MenuSaveMemory, [this] { WriteDataFile(FileKind::Memory); });
    command(MenuExportHistoryCsv, [this] { ExportCsv(FileKind::History); });
    command(MenuExportResultsCsv, [this] { ExportCsv(FileKind::Results); });

    auto *drops = new DropFilter(this, [this](QWidget *target, const QString &path) {
        return dropFile(target == SGMemo->viewport() ? SGMemo : SGHist, path);
    });
    SGHist->viewport()->installEventFilter(drops);
    SGMemo->viewport()->installEventFilter(drops);

    readRecentFiles();
}

void TFormQV::setFileDialogs(FileDialogs *dialogs)
{
    m_fileDialogs = dialogs;
}

void TFormQV::refreshFileCommands()
{
    if (!MenuExportHistoryCsv)
        return;
    MenuExportHistoryCsv->setEnabled(MenuSaveHistory->isEnabled());
    MenuExportResultsCsv->setEnabled(MenuSaveResults->isEnabled());
    MenuRecentHistories->setEnabled(MenuOpenHistory->isEnabled() && !RecentHistories.isEmpty());
    // A grid takes dropped files exactly while its Open command is enabled.
    for (auto [grid, open] : {std::pair{SGHist, MenuOpenHistory}, {SGMemo, MenuOpenMemory}}) {
        grid->setAcceptDrops(open->isEnabled());
        grid->viewport()->setAcceptDrops(open->isEnabled());
    }
}

bool TFormQV::dropFile(HistoryGrid *grid, const QString &path)
{
    QAction *open = grid == SGMemo ? MenuOpenMemory : MenuOpenHistory;
    if (!open->isEnabled())
        return false;
    activateWindow();
    raise();
    ReadDataFile(grid == SGMemo ? FileKind::Memory : FileKind::History, path);
    return true;
}

// --- recent files ------------------------------------------------------------------

void TFormQV::readRecentFiles()
{
    for (auto [name, list] : {std::pair{"RecentOpen", &RecentOpen}, {"RecentSave", &RecentSave},
                              {"RecentHistories", &RecentHistories}}) {
        const auto v = m_settings.value(QLatin1String(name));
        *list = v ? v->toStringList() : QStringList();
        list->removeAll(QString());
        list->removeDuplicates();
        while (list->size() > RecentKept)
            list->removeLast();
    }
    rebuildRecentMenu();
}

void TFormQV::remember(QStringList &list, const char *name, const QString &path)
{
    list.removeAll(path);
    list.prepend(path);
    while (list.size() > RecentKept)
        list.removeLast();
    // Kept at once: a crash loses none of them.
    m_settings.setValue(QLatin1String(name), list);
    if (&list == &RecentHistories)
        rebuildRecentMenu();
}

void TFormQV::rebuildRecentMenu()
{
    MenuRecentHistories->clear();
    for (int i = 0; i < std::min<int>(RecentHistories.size(), RecentHistoriesShown); ++i) {
        const QString path = RecentHistories[i];
        QAction *a = MenuRecentHistories->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
        connect(a, &QAction::triggered, this, [this, path] {
            repaint();
            ReadDataFile(FileKind::History, path);
        });
    }
    refreshFileCommands();
}

QString TFormQV::askFileName(bool save, const QString &title, QString &folder, const QStringList &recent,
                             const QString &filter)
{
    FileDialogRequest request;
    request.save = save;
    request.title = title;
    request.folder = folder;
    if (!request.folder.isEmpty() && !request.folder.endsWith(QLatin1Char('/')))
        request.folder += QLatin1Char('/');
    if (!recent.isEmpty())
        request.fileName = QFileInfo(recent.first()).fileName();
    request.filter = filter;
    const FileQuestions questions{
        [](const QString &caption, const QString &text) {
            return AskYesNo(nullptr, crLf(text), caption, IconWarning, BtnCodeNo);
        },
        [this](const QString &caption, const QString &text) {
            ShowInfoBox(this, crLf(text), caption, IconWarning);
        },
        shortenForMessage,
    };
    const QString start = request.folder;
    request.accept = [&](const QString &typed, int entry) {
        const QString name = DialogFileName(typed, filter, entry, start);
        if (name.isEmpty() || !SaveDialogCanClose(name, title, questions))
            return QString();
        return name;
    };
    if (!m_fileDialogs && !m_qtFileDialogs)
        m_qtFileDialogs = std::make_unique<QtFileDialogs>();
    FileDialogs &dialogs = m_fileDialogs ? *m_fileDialogs : *m_qtFileDialogs;
    const QString path = dialogs.ask(this, request);
    return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath();
}

// --- opening -----------------------------------------------------------------------

void TFormQV::ReadDataFile(FileKind kind, const QString &given)
{
    if (kind == FileKind::Results)
        return;
    const bool memory = kind == FileKind::Memory;
    const QString title = msg::OpenTitle(caption(kind));
    QString &folder = memory ? DirMemo : DirHist;
    QString path = given;
    const bool fromDialog = path.isEmpty();
    if (fromDialog) {
        path = askFileName(false, title, folder, RecentOpen, DataFileFilter());
        if (path.isEmpty())
            return;
    }
    if (!FileFound(path))
        return;
    if (!ConfirmReplace(memory ? SGMemo : SGHist))
        return;

    FileReadResult::Status status = FileReadResult::Opened;
    QString message;
    // From here Esc asks whether to stop (the memory file is read at once).
    InProgress = !memory;
    {
        FileProgress progress(*this);
        if (memory) {
            const MemoryReadResult read = ReadMemoryFile(path, shortenForMessage);
            status = read.status;
            message = read.message;
            if (read.loaded)
                showMemo(read.image);
        } else {
            m_store->Copying = true;
            ButtonsRefresh();
            selectView(ViewHistory);
            if (isActiveWindow())
                SGHist->setFocus();
            FileReadOptions options;
            options.shortenPath = shortenForMessage;
            options.progress = [&progress](int percent) { progress.set(percent); };
            options.abortRequested = [this, &path] {
                QApplication::processEvents();
                if (InProgress)
                    return false;
                if (AskYesNo(this, crLf(msg::AbortReading(shortenForMessage(path))), msg::OpenTitle(caption(FileKind::History)),
                             IconQuestion, BtnCodeNo))
                    return true;
                InProgress = true;
                return false;
            };
            const FileReadResult read = ReadHistoryFile(path, *m_store, options);
            InProgress = false;
            status = read.status;
            message = read.message;
            m_store->Copying = false;
            PBHeadH->update();
            ButtonsRefresh();
            selectView(ViewHistory);
            if (read.rows > 0)
                SGHist->setCurrentCell(0, 1);
            if (isActiveWindow())
                SGHist->setFocus();
        }
    }
    if (!message.isEmpty())
        ShowInfoBox(this, crLf(message), title, IconWarning);
    // A file that could not be read (or was no data file) is not offered again.
    if (status == FileReadResult::NotRecognized || status == FileReadResult::NotFound ||
        status == FileReadResult::Failed)
        return;
    if (!memory)
        remember(RecentHistories, "RecentHistories", path);
    if (fromDialog) {
        remember(RecentOpen, "RecentOpen", path);
        folder = folderOf(path);
    }
}

// --- saving ------------------------------------------------------------------------

void TFormQV::WriteDataFile(FileKind kind)
{
    QString &folder = kind == FileKind::Memory ? DirMemo : kind == FileKind::Results ? DirFind : DirHist;
    const bool saved = saveThroughDialog(msg::SaveTitle(caption(kind)), folder, DataFileFilter(),
                                         [&](const QString &path, const SaveOptions &options) {
        if (kind == FileKind::Memory)
            return SaveMemoryFile(path, MemoBuf, m_language, options);
        const CellTable &table = kind == FileKind::History ? m_store->hist() : m_store->reply();
        return SaveHistoryFile(path, table, 0, rowsOf(kind), m_language, options);
    });
    // The history as saved is what the journal starts from.
    if (saved && kind == FileKind::History)
        m_journal.startFresh(m_store.get());
}

void TFormQV::ExportCsv(FileKind kind)
{
    if (kind == FileKind::Memory)
        return;
    QString &folder = kind == FileKind::Results ? DirFind : DirHist;
    const QString title = QStringLiteral("Export ") + caption(kind) + QStringLiteral(" as CSV...");
    saveThroughDialog(title, folder, CsvFilter(), [&](const QString &path, const SaveOptions &options) {
        const CellTable &table = kind == FileKind::History ? m_store->hist() : m_store->reply();
        return SaveCsvFile(path, table, 0, rowsOf(kind), options);
    });
}

int TFormQV::rowsOf(FileKind kind) const
{
    if (kind == FileKind::History)
        return m_store->HistRows();
    return m_store->ReplyOK() ? m_store->reply().rowCount() : 0;
}

bool TFormQV::saveThroughDialog(const QString &title, QString &folder, const QString &filter,
                                const std::function<SaveResult(const QString &, const SaveOptions &)> &write)
{
    const QString path = askFileName(true, title, folder, RecentSave, filter);
    if (path.isEmpty())
        return false;
    SaveResult saved;
    InProgress = true;
    {
        FileProgress progress(*this);
        SaveOptions options;
        options.shortenPath = shortenForMessage;
        options.progress = [&progress](int percent) { progress.set(percent); };
        // Looking at the window's events after every row would cost more than
        // writing the rows; every few hundred rows keeps it responsive.
        int turn = 0;
        options.abortRequested = [&] {
            if (++turn % 256 == 0)
                QApplication::processEvents();
            if (InProgress)
                return false;
            if (AskYesNo(this, crLf(msg::AbortWriting(shortenForMessage(path))), title, IconQuestion, BtnCodeNo))
                return true;
            InProgress = true;
            return false;
        };
        saved = write(path, options);
        InProgress = false;
    }
    ButtonsRefresh();
    if (saved.status == SaveResult::Failed) {
        ShowInfoBox(this, crLf(saved.message), title, IconWarning);
        return false;
    }
    // An aborted save keeps the rows written: the file is there to be found again.
    remember(RecentSave, "RecentSave", path);
    folder = folderOf(path);
    return saved.status == SaveResult::Saved;
}

} // namespace qv
