#include "files/MeasurementLog.h"

#include "files/CsvExport.h"
#include "files/FileMessages.h"
#include "files/HistoryFields.h"
#include "files/HistoryFileWriter.h"
#include "history/DurableAppend.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <charconv>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {

namespace {
// More than the longest record line: the tail read finds the last whole one.
constexpr off_t TailBytes = 64 * 1024;

QString systemError(int code)
{
    return msg::SystemErrorText(code);
}

// A new directory entry survives a power cut only once its folder is synced.
void syncFolderOf(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool readAt(int fd, off_t at, std::string &out, size_t size)
{
    out.resize(size);
    size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, out.data() + done, size - done, at + off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += size_t(n);
    }
    return true;
}
} // namespace

LogFile::~LogFile()
{
    close();
}

std::string LogFile::header(Format format, uint8_t language)
{
    return format == Format::Csv ? CsvHeaderRow() : FileHeaderLine(language).toStdString();
}

LogFile::Opened LogFile::open(const QString &path, Format format, uint8_t language, QString &error)
{
    close();
    m_format = format;
    m_lastLabel = 0;
    const bool existed = QFileInfo::exists(path);
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = systemError(errno);
        return Opened::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = QStringLiteral("another program is logging into it");
        ::close(fd);
        return Opened::Failed;
    }
    m_fd = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        error = systemError(errno);
        close();
        return Opened::Failed;
    }
    const std::string head = header(format, language);
    if (st.st_size == 0) {
        if (const int e = AppendDurably(fd, head)) {
            error = systemError(e);
            close();
            return Opened::Failed;
        }
        if (!existed)
            syncFolderOf(path);
        return Opened::Created;
    }
    std::string start;
    if (off_t(head.size()) > st.st_size || !readAt(fd, 0, start, head.size()) || start != head) {
        close();
        return Opened::HeaderMismatch;
    }
    if (!readTail(error)) {
        close();
        return Opened::Failed;
    }
    return Opened::Appended;
}

bool LogFile::readTail(QString &error)
{
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return error = systemError(errno), false;
    const off_t from = st.st_size > TailBytes ? st.st_size - TailBytes : 0;
    std::string tail;
    if (!readAt(m_fd, from, tail, size_t(st.st_size - from)))
        return error = systemError(errno ? errno : EIO), false;
    // A line cut short by a power cut goes: new records follow the last whole one.
    if (!tail.empty() && tail.back() != '\n') {
        const size_t lf = tail.rfind('\n');
        const off_t keep = lf == std::string::npos ? from : from + off_t(lf + 1);
        if (::ftruncate(m_fd, keep) != 0 || ::fdatasync(m_fd) != 0)
            return error = systemError(errno), false;
        tail.resize(size_t(keep - from));
    }
    // The label of the last record: the digits of its first field.
    if (tail.size() >= 2) {
        const size_t start = tail.rfind('\n', tail.size() - 2);
        const char *p = tail.data() + (start == std::string::npos ? 0 : start + 1);
        std::from_chars(p, tail.data() + tail.size(), m_lastLabel);
    }
    return true;
}

void LogFile::close()
{
    if (m_fd >= 0)
        ::close(m_fd);   // the lock goes with the descriptor
    m_fd = -1;
}

bool LogFile::append(const CellTable &table, int row, QString &error)
{
    if (m_fd < 0)
        return error = systemError(EBADF), false;
    static const FieldFormat format = FieldFormat::current();
    m_line.clear();
    if (m_format == Format::Csv)
        AppendCsvRecord(m_line, table, row, format);
    else
        AppendHistoryRecord(m_line, table, row, format);
    if (const int e = AppendDurably(m_fd, m_line))
        return error = systemError(e), false;
    return true;
}

MeasurementLog::MeasurementLog(LogFile &file, const Clock &clock)
    : m_file(file), m_store(m_widths), m_capture(m_store, clock)
{
    m_capture.flags.MeterOn = true;
}

void MeasurementLog::setInterval(uint32_t seconds)
{
    m_everyMeasurement = seconds == 0;
    if (m_everyMeasurement)
        return;
    const int choice = AutosaveChoiceOf(seconds);
    m_capture.choose(choice, choice == AutosaveSetTime ? std::optional<uint32_t>(seconds) : std::nullopt);
}

void MeasurementLog::started()
{
    m_capture.flags.Measuring = true;
    m_capture.startMeas();
}

void MeasurementLog::stopped()
{
    m_capture.flags.Measuring = false;
    m_capture.stopMeas();
}

bool MeasurementLog::measurement(const TDataMeasQV &meas)
{
    int row;
    if (m_everyMeasurement) {
        m_capture.LastMeas = meas;
        row = m_capture.MeasureToHistory();
    } else {
        row = m_capture.receiveMeas(meas);
    }
    return row >= 0 && flush(row);
}

bool MeasurementLog::flush(int row)
{
    m_error.clear();
    const bool ok = m_file.append(m_store.hist(), row, m_error);
    // Only the row being written is held: the store lets its cells go (and
    // their memory with them), the counters go on.
    const qint64 count = m_store.HistCount, id = m_store.HistId;
    m_store.HistDeleteAll();
    m_store.HistCount = count;
    m_store.HistId = id;
    if (ok)
        ++m_written;
    return ok;
}

} // namespace qv
