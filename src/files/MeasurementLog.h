// The measurement log of the command line: measurements become history rows
// by the program's own capture and autosave rules, and each row is appended
// to a history file (or CSV) and flushed to the disk as it is captured. The
// file is whole at every moment: a killed process or a power cut loses at
// most the row being written, and a torn last line is cut off when the log
// is opened again. Only the row being written is held in memory, so a log
// that runs for days stays as small as it started.
#pragma once

#include "history/HistoryCapture.h"
#include "history/HistoryStore.h"
#include "history/TextWidths.h"

#include <QString>

#include <cstdint>
#include <string>

namespace qv {

class LogFile {
public:
    enum class Format { History, Csv };
    enum class Opened { Created, Appended, HeaderMismatch, Failed };

    LogFile() = default;
    ~LogFile();
    LogFile(const LogFile &) = delete;
    LogFile &operator=(const LogFile &) = delete;

    // Opens for appending and holds the file against a second logger. A new
    // or empty file gets the header at once; an existing one is appended to
    // only when it starts with the header this log writes.
    Opened open(const QString &path, Format format, uint8_t language, QString &error);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // The label of the last record of an appended file (0: none), so that
    // the sequence numbers go on from it.
    qint64 lastLabel() const { return m_lastLabel; }
    // Appends the record of one row, on the disk when this returns.
    bool append(const CellTable &table, int row, QString &error);
    // The header this log writes.
    static std::string header(Format format, uint8_t language);

private:
    bool readTail(QString &error);

    int m_fd = -1;
    Format m_format = Format::History;
    qint64 m_lastLabel = 0;
    std::string m_line;
};

class MeasurementLog {
public:
    MeasurementLog(LogFile &file, const Clock &clock);

    // 0: every complete measurement is a row; otherwise the autosave rule on
    // this interval (grid points, new samples, single-measure mode).
    void setInterval(uint32_t seconds);
    // Sequence numbers go on after this one.
    void continueAfter(qint64 label) { m_store.HistCount = label; }

    void info(const TDataInfoQV &info) { m_capture.LastInfo = info; }
    void started();
    void stopped();
    // A complete measurement: true when it became a row of the file.
    bool measurement(const TDataMeasQV &meas);

    qint64 rowsWritten() const { return m_written; }
    qint64 lastLabel() const { return m_store.HistCount; }
    // Why the last row could not be written (empty when it was).
    const QString &error() const { return m_error; }

private:
    bool flush(int row);

    LogFile &m_file;
    TextWidths m_widths = TextWidths::fixed(1);
    HistoryStore m_store;
    HistoryCapture m_capture;
    bool m_everyMeasurement = true;
    qint64 m_written = 0;
    QString m_error;
};

} // namespace qv
