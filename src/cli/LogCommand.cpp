// qv7xx-cli log: measurements of a meter into a history file (or CSV) for as
// long as it runs, each row on the disk as soon as it is captured; the link's
// trouble is reported with the time and logging goes on once the meter
// answers again.
#include "cli/Commands.h"
#include "cli/LinkSession.h"
#include "cli/Options.h"
#include "cli/StatusLine.h"

#include "files/MeasurementLog.h"
#include "meter/MeterUpkeep.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace qv::cli {

namespace {

// While the link is in trouble the port is opened afresh this often: a
// vanished port may have come back under the same name.
// A running series shows itself by its measurements within this time.
constexpr int StartAfterMs = 1500;
// Plain progress lines (standard error not a terminal) at most this often.
constexpr qint64 PlainLineMs = 60000;

QString elapsedText(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

CommandInfo logInfo()
{
    std::vector<OptionInfo> options = linkOptions();
    options.insert(options.end(), {
        {"--interval", "SECONDS", "a row every SECONDS (1-65535) by the autosave rule (default: every measurement)"},
        {"--start", "", "press the meter's MEAS key once to start a series, and stop it at the end"},
        {"--seconds", "S", "end after S seconds (default: at Ctrl+C or SIGTERM)"},
        {"--csv", "", "write CSV for spreadsheets instead of a history file"},
        {"--quiet", "", "no progress line (trouble with the link is still reported)"},
        {"--out", "FILE", "the log file (required): created, or appended to when its header matches"},
    });
    return commandInfo(
        QStringLiteral("log"), QString(),
        QStringLiteral("Captures the meter's measurements into FILE as the program captures them into its\n"
                       "history. Every row is appended and flushed to the disk as it is captured, so FILE\n"
                       "is a whole history file (or CSV) at every moment: a crash or a power cut loses at\n"
                       "most the row being written."),
        options,
        QStringLiteral("With --interval a row is written by the first measurement at or after each point of\n"
                       "a grid of that interval which the first row lays down; a meter in single measure\n"
                       "mode gives a row for every measurement. Trouble with the link (communication lost,\n"
                       "port gone) goes to standard error with the time; logging goes on when the meter\n"
                       "answers again. SIGINT and SIGTERM finish the row, close FILE and print a summary.\n"
                       "Exit status: 0, 1 when FILE could not be written, 2 on bad arguments, a port that\n"
                       "cannot be opened or a FILE whose header is not this log's, 3 when --find found no\n"
                       "meter."));
}

int runLog(const QStringList &args)
{
    ArgumentReader opts(logInfo(), args);
    if (opts.askedForInfo())
        return opts.printInfo();
    LinkChoice link;
    readLinkChoice(opts, link);
    const uint32_t interval = uint32_t(opts.integer("--interval", 0, 1, 65535));
    const bool start = opts.flag("--start");
    const double seconds = opts.real("--seconds", -1, 0, 1e9);
    const bool csv = opts.flag("--csv");
    const bool quiet = opts.flag("--quiet");
    const QString out = opts.text("--out");
    opts.noPositionals();
    if (opts.ok() && out.isEmpty())
        opts.setError(QStringLiteral("--out FILE is required"));
    if (!opts.ok())
        return opts.fail();

    LogFile file;
    QString error;
    const LogFile::Format format = csv ? LogFile::Format::Csv : LogFile::Format::History;
    switch (file.open(out, format, 1, error)) {
    case LogFile::Opened::HeaderMismatch:
        return failWith(QStringLiteral("%1 is not a %2 this command writes (its header differs); not appended")
                            .arg(out, csv ? QStringLiteral("CSV log") : QStringLiteral("history file")));
    case LogFile::Opened::Failed:
        return failWith(QStringLiteral("%1: %2").arg(out, error));
    default:
        break;
    }
    if (!ResolveLink(link))
        return 3;

    MeterPort linkPort(link.port, link.rate);
    TComm32QV &comm = linkPort.comm();
    if (const QString error = linkPort.openError(); !error.isEmpty())
        return failWith(error);

    StatusLine status(!quiet);
    MeterUpkeep upkeep(comm, systemClock(), qtTimers());
    MeasurementLog log(file, systemClock());
    log.continueAfter(file.lastLabel());
    log.setInterval(interval);
    const qint64 firstLabel = file.lastLabel() + 1;

    QElapsedTimer running;
    running.start();
    qint64 lastPlain = -PlainLineMs;
    int trouble = -1;   // the link's trouble reported last, -1 while the meter answers
    bool startPending = false, startPressed = false;
    int exitCode = 0;

    QTimer startTimer;
    startTimer.setSingleShot(true);
    QObject::connect(&startTimer, &QTimer::timeout, [&] {
        if (!comm.Measuring() && upkeep.screen() == 0) {
            startPressed = true;
            comm.SendKey(kcS);
        }
    });
    upkeep.OnStatus = [&](int code, const QString &) {
        if (code < stCommLost || code == trouble)
            return;
        trouble = code;
        status.message(QStringLiteral("%1 %2: %3").arg(timeStamp(), link.port, statusText(code, 1)));
    };
    upkeep.OnReceiveInfo = [&](const TDataInfoQV &info) {
        log.info(info);
        if (trouble >= 0) {
            trouble = -1;
            status.message(QStringLiteral("%1 %2: the meter answers again; logging goes on")
                               .arg(timeStamp(), link.port));
        }
        // The series starts once the meter has said where it is, unless its
        // measurements show that one runs already.
        if (start && !startPending && info.MenuCode == 0) {
            startPending = true;
            startTimer.start(StartAfterMs);
        }
    };
    upkeep.OnStartMeas = [&] { log.started(); };
    upkeep.OnStopMeas = [&] { log.stopped(); };
    upkeep.OnReceiveMeas = [&](const TDataMeasQV &meas) {
        if (!log.measurement(meas)) {
            if (!log.error().isEmpty()) {
                status.message(QStringLiteral("qv7xx-cli: %1: %2").arg(out, log.error()));
                exitCode = 1;
                QCoreApplication::quit();
            }
            return;
        }
        const qint64 now = running.elapsed();
        const bool plain = now - lastPlain >= PlainLineMs;
        if (plain)
            lastPlain = now;
        status.progress(QStringLiteral("%1 %2 in %3, last %4 %5")
                            .arg(log.rowsWritten())
                            .arg(log.rowsWritten() == 1 ? QStringLiteral("row") : QStringLiteral("rows"))
                            .arg(elapsedText(now), NormalizeValue(meas.ValueText), timeStamp()),
                        plain);
    };

    StopSignals stopSignals;
    if (seconds >= 0)
        QTimer::singleShot(int(seconds * 1000), qApp, &QCoreApplication::quit);
    status.progress(QStringLiteral("logging %1 at %2 bit/s into %3").arg(link.port).arg(RateValue(link.rate)).arg(out),
                    true, true);
    upkeep.refresh();
    QCoreApplication::exec();
    stopSignals.disarm();

    startTimer.stop();
    if (startPressed && comm.Measuring()) {
        // The series this command started ends with it.
        comm.SendKey(kcS);
        QEventLoop drain;
        QTimer::singleShot(300, &drain, &QEventLoop::quit);
        drain.exec();
    }
    upkeep.OnReceiveMeas = nullptr;
    upkeep.OnStatus = nullptr;
    comm.Close();
    file.close();
    status.finish();
    const qint64 rows = log.rowsWritten();
    const QString range = rows > 0 ? QStringLiteral(" (No. %1 to %2)").arg(firstLabel).arg(log.lastLabel()) : QString();
    const QString why = stopSignals.caught() ? QStringLiteral("; stopped by ") + stopSignals.caughtName() : QString();
    status.message(QStringLiteral("%1 rows logged into %2%3 in %4%5")
                       .arg(rows)
                       .arg(out, range, elapsedText(running.elapsed()), why));
    return exitCode;
}

} // namespace qv::cli
