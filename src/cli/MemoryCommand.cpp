// qv7xx-cli memory: brings the meter to its "send memory to PC" command,
// whatever screen it shows, receives the memory block and saves it as a
// memory file (or CSV) in one atomic step.
#include "cli/Commands.h"
#include "cli/LinkSession.h"
#include "cli/Options.h"
#include "cli/StatusLine.h"

#include "files/CsvExport.h"
#include "files/HistoryFileWriter.h"
#include "history/HistoryColumns.h"
#include "history/MemoryTransfer.h"
#include "meter/MemoryRoute.h"
#include "meter/MeterUpkeep.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace qv::cli {

namespace {

// The meter is given this long to start sending, counted from the last sign
// of progress (a screen nearer the command, a block arriving).
constexpr qint64 PatienceMs = 30000;
// A key unanswered this long is pressed again.
constexpr qint64 AnswerMs = 1500;

QString progressText(int32_t total, int32_t cell, int32_t permille)
{
    const qint64 bytes = qint64(total) * 63;
    const int width = 30;
    const int filled = int(permille * width / 1000);
    return QStringLiteral("[%1%2] %3/%4 cells, %5/%6 bytes")
        .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
        .arg(cell)
        .arg(total)
        .arg(bytes * permille / 1000)
        .arg(bytes);
}

SaveResult save(const QString &path, const QByteArray &image, bool csv)
{
    if (!csv)
        return SaveMemoryFile(path, image, 1);
    // The memory table the program shows, written as the history's CSV.
    const TextWidths widths = TextWidths::fixed(1);
    CellTable table(hc::MemoryColumns, widths);
    PrepareMemoryTable(table);
    FillMemoryTable(table, image, false, {});
    return SaveCsvFile(path, table, 0, SplitMemoryImage(image, hc::MemoryRows).complete);
}

} // namespace

CommandInfo memoryInfo()
{
    std::vector<OptionInfo> options = linkOptions();
    options.insert(options.end(), {
        {"--csv", "", "write CSV for spreadsheets instead of a memory file"},
        {"--quiet", "", "no progress bar"},
        {"--out", "FILE", "the file to write (required); it appears only once complete"},
    });
    return commandInfo(
        QStringLiteral("memory"), QString(),
        QStringLiteral("Downloads the meter's memory: brings the meter to its \"send memory to PC\" command\n"
                       "from whatever screen it shows, receives the block with a progress bar on standard\n"
                       "error, and writes the memory file the program opens (or CSV)."),
        options,
        QStringLiteral("Exit status: 0, 2 on bad arguments, a port that cannot be opened or a file that\n"
                       "cannot be written, 3 when the meter never sent its memory."));
}

int runMemory(const QStringList &args)
{
    ArgumentReader opts(memoryInfo(), args);
    if (opts.askedForInfo())
        return opts.printInfo();
    LinkChoice link;
    readLinkChoice(opts, link);
    const bool csv = opts.flag("--csv");
    const bool quiet = opts.flag("--quiet");
    const QString out = opts.text("--out");
    opts.noPositionals();
    if (opts.ok() && out.isEmpty())
        opts.setError(QStringLiteral("--out FILE is required"));
    if (!opts.ok())
        return opts.fail();
    if (!ResolveLink(link))
        return 3;

    MeterPort linkPort(link.port, link.rate);
    TComm32QV &comm = linkPort.comm();
    if (const QString error = linkPort.openError(); !error.isEmpty())
        return failWith(error);
    MeterUpkeep upkeep(comm, systemClock(), qtTimers());
    StatusLine status(!quiet);

    QByteArray image;
    bool received = false;
    int lastStep = -1;
    QElapsedTimer sinceProgress, sinceKey;
    sinceProgress.start();
    sinceKey.start();
    uint32_t answersAtKey = upkeep.answers();
    bool keyPending = false;
    int lastScreen = -1;

    upkeep.OnProgressMemo = [&](int32_t total, int32_t cell, int32_t permille) {
        sinceProgress.restart();
        const int step = permille / 100;
        status.progress(progressText(total, cell, permille), step != lastStep || permille == 1000);
        lastStep = step;
    };
    upkeep.OnReceiveMemo = [&](const uint8_t *data, uint32_t size) {
        image = QByteArray(reinterpret_cast<const char *>(data), int(size));
        received = true;
        QCoreApplication::quit();
    };

    // One key at a time, each after the meter's answer to the one before:
    // the screen it then reports says what comes next.
    QTimer drive;
    QObject::connect(&drive, &QTimer::timeout, [&] {
        if (sinceProgress.elapsed() > PatienceMs) {
            QCoreApplication::quit();
            return;
        }
        if (comm.InMemoryTransfer() || comm.QueueBusy())
            return;
        const bool answered = upkeep.answers() != answersAtKey;
        if (keyPending && !answered && sinceKey.elapsed() < AnswerMs)
            return;
        const int screen = upkeep.screen();
        if (answered && screen != lastScreen) {
            lastScreen = screen;
            sinceProgress.restart();
        }
        int key = NextKeyToSendMemory(screen, upkeep.lastFrameType() == ftText);
        if (key < 0) {
            // The welcome screen goes by itself; ask now and then where it is.
            if (sinceKey.elapsed() < AnswerMs)
                return;
            key = kcI;
        }
        answersAtKey = upkeep.answers();
        keyPending = true;
        sinceKey.restart();
        comm.SendKey(key);
    });

    StopSignals stopSignals;
    // The first question: which screen is the meter on?
    comm.SendKey(kcI);
    answersAtKey = upkeep.answers();
    keyPending = true;
    drive.start(50);
    QCoreApplication::exec();
    drive.stop();
    status.finish();
    upkeep.OnProgressMemo = nullptr;
    upkeep.OnReceiveMemo = nullptr;
    if (comm.InMemoryTransfer())
        comm.SendKey(kcQ);   // a transfer cut short by a signal is ended on the meter too
    comm.Close();

    if (!received) {
        std::fprintf(stderr, "qv7xx-cli: %s\n",
                     (stopSignals.caught() ? QStringLiteral("stopped by %1 before the memory came").arg(stopSignals.caughtName())
                                       : QStringLiteral("the meter on %1 did not send its memory").arg(link.port))
                         .toLocal8Bit()
                         .constData());
        return 3;
    }
    const SaveResult saved = save(out, image, csv);
    if (saved.status == SaveResult::Failed)
        return failWith(saved.message);
    const int cells = SplitMemoryImage(image, hc::MemoryRows).complete;
    status.message(QStringLiteral("%1 cells written to %2").arg(cells).arg(out));
    return 0;
}

} // namespace qv::cli
