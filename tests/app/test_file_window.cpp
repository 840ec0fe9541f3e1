// File > Open, Save and Export in the main window, with the file names given
// through the dialog seam and the questions answered by a script: the rows
// shown, the round trip, the messages, Esc during a read, dropped files, the
// recent lists across a restart, the journal after a save, CSV.
#include "FormRig.h"

#include "app/HistoryGrid.h"
#include "dialogs/TGauge.h"
#include "files/CsvExport.h"
#include "files/DataFileReader.h"
#include "files/HistoryFileWriter.h"
#include "history/Journal.h"
#include "print/QVPrint.h"

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPrinterInfo>

using namespace qv;

namespace {

QString dataFile(const char *name)
{
    return QStringLiteral(QV_TEST_DATA_DIR "/files/") + QLatin1String(name);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList rowsOf(const CellTable &t, int rows)
{
    QStringList out;
    for (int r = 0; r < rows; ++r) {
        QStringList cells;
        for (int c = 0; c <= hc::Notes; ++c)
            cells << t.cell(r, c);
        out << cells.join(QLatin1Char('\t'));
    }
    return out;
}

QString crLf(QString s)
{
    return s.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

class FileWindowTest : public qvtest::FormTest {
protected:
    std::unique_ptr<TFormQV> makeForm()
    {
        auto made = qvtest::FormTest::makeForm();
        made->setFileDialogs(&files);
        return made;
    }
    // File > Open or Save (`action`), the dialog answered with `names`.
    void fileMenu(QAction *action, std::deque<QString> names)
    {
        files.names = std::move(names);
        action->trigger();
    }
    QStringList rows() const { return rowsOf(form->store().hist(), form->store().HistRows()); }

    // The history as the reader alone makes it of a file.
    QStringList readDirectly(const QString &path)
    {
        HistoryStore store(form->store().hist().textWidths());
        ReadHistoryFile(path, store);
        return rowsOf(store.hist(), store.HistRows());
    }
    // A history file of `rows` captured-looking rows.
    QString bigFile(int rows)
    {
        QByteArray bytes = HeaderBytes(DataHeader::English);
        for (int i = 1; i <= rows; ++i)
            bytes += QByteArray::number(i) + "\t07-12-2026\t10:15:30\tlamp\t1.235e3\t\t\t\t\t\t\t\t\t\t\tZ.K-700\t\r\n";
        const QString path = dir.filePath(QStringLiteral("big.txt"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    // As the desktop drops a file: the drag enters, then (when a widget took
    // it) the drop. True when the grid took the drag.
    bool dropOn(HistoryGrid *grid, const QString &path)
    {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grid->viewport(), &drop);
        return true;
    }

    qvtest::ScriptedFileDialogs files;
    std::unique_ptr<TFormQV> form = makeForm();
};

} // namespace

TEST_F(FileWindowTest, OpenShowsTheFileRowsAndSavedOrExportedTheyHoldTheSame)
{
    EXPECT_FALSE(form->MenuExportHistoryCsv->isEnabled());
    const QString path = dataFile("program-written.txt");
    const QString startFolder = form->DirHist;
    fileMenu(form->MenuOpenHistory, {path});

    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_FALSE(files.asked[0].save);
    EXPECT_EQ(files.asked[0].folder, startFolder);
    EXPECT_TRUE(dialogs.requests().empty());   // an empty history is replaced without a question
    const QStringList before = rows();
    EXPECT_EQ(before.size(), 3);
    EXPECT_EQ(before, readDirectly(path));
    EXPECT_EQ(form->store().hist().cell(0, hc::Comment), "lamp A");
    EXPECT_EQ(form->currentView(), TFormQV::ViewHistory);
    EXPECT_FALSE(form->store().Copying);
    EXPECT_EQ(form->busyCursor(), Qt::ArrowCursor);
    EXPECT_TRUE(form->MenuSaveHistory->isEnabled());
    EXPECT_EQ(form->DirHist, QStringLiteral(QV_TEST_DATA_DIR "/files/"));
    EXPECT_EQ(form->RecentOpen, QStringList{path});
    // The opened file is what the journal holds as saved: nothing to restore.
    EXPECT_FALSE(ReadJournal(journalPath()).unsaved);

    // A second file asks before it replaces the history; No keeps it.
    dialogs.script({BtnCodeNo});
    fileMenu(form->MenuOpenHistory, {dataFile("legacy-header.txt")});
    EXPECT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(files.asked.back().fileName, "program-written.txt");   // the recent name is preset
    EXPECT_EQ(rows(), before);

    // A name without extension gets .txt; the bytes are those the program writes.
    fileMenu(form->MenuSaveHistory, {dir.filePath(QStringLiteral("saved"))});
    const QString saved = dir.filePath(QStringLiteral("saved.txt"));
    EXPECT_EQ(readAll(saved), readAll(dataFile("program-written.saved")));
    EXPECT_EQ(form->RecentSave, QStringList{saved});
    EXPECT_EQ(form->DirHist, dir.path() + QLatin1Char('/'));

    // Saving over it asks first; No lets the user type another name.
    dialogs.script({BtnCodeNo});
    fileMenu(form->MenuSaveHistory, {saved, dir.filePath(QStringLiteral("other.txt"))});
    ASSERT_EQ(dialogs.requests().size(), 2u);
    EXPECT_EQ(dialogs.last().text, crLf(msg::AlreadyExists(saved)));
    EXPECT_EQ(dialogs.last().defaultButton, BtnCodeNo);
    EXPECT_EQ(readAll(dir.filePath(QStringLiteral("other.txt"))), readAll(saved));

    form->BtnDelClick();
    dialogs.setFallback(BtnCodeYes);
    fileMenu(form->MenuOpenHistory, {saved});
    EXPECT_EQ(rows(), before);
    // CSV for spreadsheets.
    ASSERT_TRUE(form->MenuExportHistoryCsv->isEnabled());
    EXPECT_FALSE(form->MenuExportResultsCsv->isEnabled());
    fileMenu(form->MenuExportHistoryCsv, {dir.filePath(QStringLiteral("day"))});
    const QByteArray csv = readAll(dir.filePath(QStringLiteral("day.csv")));
    EXPECT_EQ(csv.toStdString(), CsvBytes(form->store().hist(), 0, 3));
}

TEST_F(FileWindowTest, FailuresSayWhatWentWrongAndChangeNothingTillASaveSucceeds)
{
    append(*form, {"1", "2"});
    const QStringList before = rowsOf(form->store().hist(), 2);
    const QString folder = form->DirHist;

    // An unrecognised header: the message, the history and the folder kept.
    const QString odd = dataFile("other-letter-case.txt");
    dialogs.script({BtnCodeYes, BtnCodeYes});
    fileMenu(form->MenuOpenHistory, {odd});
    ASSERT_EQ(dialogs.requests().size(), 2u);
    EXPECT_EQ(dialogs.last().routine, std::string("ShowInfoBox"));
    EXPECT_TRUE(dialogs.last().text.endsWith(odd));
    EXPECT_EQ(rows(), before);
    EXPECT_EQ(form->DirHist, folder);
    EXPECT_TRUE(form->RecentOpen.isEmpty());

    // A folder that is gone: the writer's message, nothing remembered.
    const QString gone = dir.filePath(QStringLiteral("gone/history.txt"));
    fileMenu(form->MenuSaveHistory, {gone});
    const QString expected = SaveHistoryFile(gone, form->store().hist(), 0, 2, 1).message;
    EXPECT_EQ(dialogs.last().text, crLf(expected));
    EXPECT_TRUE(form->RecentSave.isEmpty());
    EXPECT_FALSE(QFile::exists(gone));
    // The journal still holds the rows as unsaved.
    EXPECT_EQ(ReadJournal(journalPath()).unsavedRows, 2);

    // A folder of the chosen name stays unwritten: "directory", and the dialog stays open.
    QDir(dir.path()).mkdir(QStringLiteral("taken.txt"));
    dialogs.script({BtnCodeYes});
    fileMenu(form->MenuSaveHistory, {dir.filePath(QStringLiteral("taken"))});
    EXPECT_TRUE(dialogs.last().text.contains(QStringLiteral("cannot be created, because directory")));
    EXPECT_TRUE(form->RecentSave.isEmpty());
    // Saved at last: the journal starts afresh from the saved history.
    fileMenu(form->MenuSaveHistory, {dir.filePath(QStringLiteral("day.txt"))});
    EXPECT_FALSE(ReadJournal(journalPath()).unsaved);
    append(*form, {"4", "5"});
    const JournalContents held = ReadJournal(journalPath());
    EXPECT_TRUE(held.unsaved);
    EXPECT_EQ(held.unsavedRows, 2);
    EXPECT_EQ(held.rowCount(), 4);
}

TEST_F(FileWindowTest, EscDuringAReadAsksAndNoCarriesOnWhileYesStops)
{
    const QString path = bigFile(20000);
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "Yes" : "No");
        form->store().HistDeleteAll();
        bool gaugeShown = false;
        Qt::CursorShape cursor = Qt::ArrowCursor;
        dialogs.onAsk = [&](const DialogRequest &) {
            gaugeShown = form->PanelHint->findChild<TGauge *>() != nullptr;
            cursor = form->busyCursor();
        };
        const size_t asked = dialogs.requests().size();
        dialogs.script({stop ? BtnCodeYes : BtnCodeNo});
        // The key waits in the queue until the read lets events through.
        QCoreApplication::postEvent(form->SGHist,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        form->ReadDataFile(TFormQV::FileKind::History, path);
        ASSERT_EQ(dialogs.requests().size(), asked + 1);
        EXPECT_EQ(dialogs.last().text, crLf(msg::AbortReading(path)));
        EXPECT_EQ(dialogs.last().defaultButton, BtnCodeNo);
        EXPECT_TRUE(gaugeShown);
        EXPECT_EQ(cursor, Qt::WaitCursor);
        if (stop)
            EXPECT_LT(form->store().HistRows(), 20000);
        else
            EXPECT_EQ(form->store().HistRows(), 20000);
        EXPECT_FALSE(form->InProgress);
        EXPECT_EQ(form->PanelHint->findChild<TGauge *>(), nullptr);
        EXPECT_EQ(form->busyCursor(), Qt::ArrowCursor);
        dialogs.onAsk = nullptr;
    }
    // Esc with nothing running changes nothing.
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form->SGHist, &esc);
    EXPECT_FALSE(form->InProgress);
}

TEST_F(FileWindowTest, GridsTakeDroppedFilesOnlyWhileTheirOpenIsEnabled)
{
    const QString path = dataFile("program-written.txt");
    // Autosave on a measuring meter holds the history: no drops on it.
    probeReported(*form);
    form->chooseAutosave(5);
    form->QVMeter()->OnStartMeas();
    ASSERT_FALSE(form->MenuOpenHistory->isEnabled());
    EXPECT_FALSE(form->SGHist->viewport()->acceptDrops());
    EXPECT_TRUE(form->SGMemo->viewport()->acceptDrops());
    EXPECT_FALSE(dropOn(form->SGHist, path));
    EXPECT_EQ(form->store().HistRows(), 0);

    form->QVMeter()->OnStopMeas();
    EXPECT_TRUE(form->SGHist->viewport()->acceptDrops());
    EXPECT_TRUE(dropOn(form->SGHist, path));
    EXPECT_EQ(form->store().HistRows(), 3);
    EXPECT_TRUE(files.asked.empty());   // a dropped file needs no dialog
    EXPECT_TRUE(form->RecentOpen.isEmpty());
    EXPECT_EQ(form->RecentHistories, QStringList{path});

    // A memory file dropped on the memory grid becomes the memory image.
    const QByteArray image = "x\t01-02-03\t10:00:00\t\t1.5\r\nx\t01-02-03\t10:00:01\t\t2.5\r\n";
    const QString memo = dir.filePath(QStringLiteral("memo.txt"));
    ASSERT_EQ(SaveMemoryFile(memo, image, 1).status, SaveResult::Saved);
    EXPECT_TRUE(dropOn(form->SGMemo, memo));
    EXPECT_TRUE(form->MemoLoaded);
    EXPECT_EQ(form->MemoBuf, image);
    EXPECT_EQ(form->memo().cell(1, hc::Value), "2.5");
}

TEST_F(FileWindowTest, RecentFilesSurviveARestartAndTheMenuOpensThem)
{
    const QString first = dataFile("program-written.txt");
    const QString second = dataFile("legacy-header.txt");
    fileMenu(form->MenuOpenHistory, {first});
    dialogs.setFallback(BtnCodeYes);
    fileMenu(form->MenuOpenHistory, {second});
    fileMenu(form->MenuSaveHistory, {dir.filePath(QStringLiteral("kept.txt"))});
    form->close();
    form.reset();
    form = makeForm();
    EXPECT_EQ(form->RecentOpen, QStringList({second, first}));
    EXPECT_EQ(form->RecentHistories, QStringList({second, first}));
    EXPECT_EQ(form->RecentSave, QStringList{dir.filePath(QStringLiteral("kept.txt"))});
    const QList<QAction *> recent = form->MenuRecentHistories->actions();
    ASSERT_EQ(recent.size(), 2);
    EXPECT_TRUE(recent[1]->text().endsWith(first));

    files.names = {QString()};
    form->MenuSaveHistory->setEnabled(true);
    form->WriteDataFile(TFormQV::FileKind::History);
    EXPECT_EQ(files.asked.back().fileName, "kept.txt");

    recent[1]->trigger();
    EXPECT_EQ(rows(), readDirectly(first));
    EXPECT_EQ(form->RecentHistories.first(), first);
}

// Exporting as PDF is enabled where printing is; with no printer installed,
// printing says so.
TEST_F(FileWindowTest, FileMenuPrintsAndExportsAsPdf)
{
    form->MenuPrintMemory->setEnabled(false);
    EXPECT_FALSE(form->MenuExportPdfMemory->isEnabled());
    form->MenuPrintMemory->setEnabled(true);
    EXPECT_TRUE(form->MenuExportPdfMemory->isEnabled());
    dialogs.setFallback(BtnCodeYes);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        form->PrintGrid(PrintKind::History);
        ASSERT_EQ(dialogs.requests().size(), 1u);
        EXPECT_EQ(dialogs.last().owner, form.get());
    }
    append(*form, {"1.235 k"});
    const QString pdf = dir.filePath("history.pdf");
    EXPECT_TRUE(form->ExportPdf(PrintKind::History, pdf));
    EXPECT_EQ(readAll(pdf).left(5), "%PDF-");
}
