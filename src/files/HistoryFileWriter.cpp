#include "files/HistoryFileWriter.h"

#include "files/HistoryFields.h"
#include "history/HistoryColumns.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

namespace qv {

namespace {
constexpr size_t FlushAt = size_t(1) << 20;

void appendTwo(std::string &out, int n)
{
    out += char('0' + n / 10 % 10);
    out += char('0' + n % 10);
}

// "dd-mm-yyyy" of a date cell, or nothing when the cell is no date.
void appendLongDate(std::string &out, std::string_view cell, const FieldFormat &format)
{
    int year = 0, month = 0, day = 0;
    if (!ReadCellDate(cell, format, year, month, day))
        return;
    appendTwo(out, day);
    out += format.date;
    appendTwo(out, month);
    out += format.date;
    appendTwo(out, year / 100);
    appendTwo(out, year);
}

// Calls progress when the percentage changes.
class Gauge {
public:
    Gauge(const std::function<void(int)> &progress, int lastRow) : m_progress(progress), m_last(lastRow) {}
    void at(int row)
    {
        if (!m_progress)
            return;
        const int percent = m_last > 0 ? int(qint64(row) * 100 / m_last) : 100;
        if (percent != m_shown)
            m_progress(m_shown = percent);
    }

private:
    const std::function<void(int)> &m_progress;
    int m_last;
    int m_shown = -1;
};
} // namespace

void AppendHistoryRecord(std::string &out, const CellTable &table, int row, const FieldFormat &format)
{
    // The row's bytes up to its 16th TAB hold columns 0..15 (column 16 is
    // not written); each of the 16 cells is followed by a TAB.
    const std::string_view r = table.rowView(row);
    size_t end = r.size();
    size_t dateStart = std::string_view::npos, dateEnd = r.size();
    int tabs = 0;
    for (size_t i = 0; i < r.size(); ++i) {
        if (r[i] != '\t')
            continue;
        if (++tabs == 1)
            dateStart = i + 1;
        else if (tabs == 2)
            dateEnd = i;
        else if (tabs == hc::Id) {
            end = i;
            --tabs;
            break;
        }
    }
    if (dateStart == std::string_view::npos) {
        out.append(r.data(), end);
    } else {
        out.append(r.data(), dateStart);
        appendLongDate(out, r.substr(dateStart, dateEnd - dateStart), format);
        if (dateEnd < end)
            out.append(r.data() + dateEnd, end - dateEnd);
    }
    out.append(size_t(hc::Id - tabs), '\t');
    out += "\r\n";
}

void AppendHistoryRecord(std::string &out, const CellTable &table, int row)
{
    AppendHistoryRecord(out, table, row, FieldFormat::current());
}

std::string HistoryFileBytes(const CellTable &table, int firstRow, int rows, uint8_t language)
{
    const FieldFormat format = FieldFormat::current();
    std::string out = FileHeaderLine(language).toStdString();
    for (int r = firstRow; r < firstRow + rows && r < table.rowCount(); ++r)
        AppendHistoryRecord(out, table, r, format);
    return out;
}

SaveResult SaveThrough(const QString &path, const SaveOptions &options,
                       const std::function<bool(const std::function<bool(std::string &)> &write)> &produce)
{
    SaveResult result;
    const QString shown = ShownPath(options.shortenPath, path);
    // A read-only file the user chose to overwrite: writable for the save,
    // read-only again afterwards.
    const QFileInfo info(path);
    const bool existed = info.exists() && info.isFile();
    // The mode bits only: the "user" flags say what this process may do.
    const QFile::Permissions kept = existed ? info.permissions() & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser)
                                            : QFile::Permissions();
    if (existed && !(kept & QFile::WriteOwner))
        QFile::setPermissions(path, kept | QFile::WriteOwner);

    QSaveFile file(path);
    QString failure;
    // The system's own words for what failed, else Qt's.
    const auto failed = [&] {
        const int code = errno;
        failure = code ? msg::SystemErrorText(code) : file.errorString();
        return false;
    };
    errno = 0;
    bool ok = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || failed();
    const auto write = [&](std::string &bytes) {
        errno = 0;
        if (ok && !bytes.empty())
            ok = file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size()) || failed();
        bytes.clear();
        return ok;
    };
    if (ok) {
        const bool whole = produce(write);
        if (!whole && ok)
            result.status = SaveResult::Aborted;
        errno = 0;
        if (ok)
            ok = file.commit() || failed();
    }
    if (!ok) {
        result.status = SaveResult::Failed;
        result.message = msg::WriteFailed(shown, failure);
        file.cancelWriting();
    }
    if (existed)
        QFile::setPermissions(path, kept);
    return result;
}

SaveResult SaveRows(const QString &path, const SaveOptions &options, std::string header, int firstRow, int end,
                    const std::function<void(std::string &out, int row)> &appendRow)
{
    int written = 0;
    SaveResult result = SaveThrough(path, options, [&](const std::function<bool(std::string &)> &write) {
        std::string buffer = std::move(header);
        buffer.reserve(FlushAt + 8192);
        Gauge gauge(options.progress, end - 1);
        for (int r = firstRow; r < end; ++r) {
            gauge.at(r);
            appendRow(buffer, r);
            ++written;
            if (buffer.size() >= FlushAt && !write(buffer))
                return true;
            if (options.abortRequested && options.abortRequested()) {
                write(buffer);
                return false;
            }
        }
        write(buffer);
        return true;
    });
    result.rowsWritten = result.status == SaveResult::Failed ? 0 : written;
    return result;
}

SaveResult SaveHistoryFile(const QString &path, const CellTable &table, int firstRow, int rows, uint8_t language,
                           const SaveOptions &options)
{
    const FieldFormat format = FieldFormat::current();
    return SaveRows(path, options, FileHeaderLine(language).toStdString(), firstRow,
                    std::min(firstRow + rows, table.rowCount()),
                    [&](std::string &out, int row) { AppendHistoryRecord(out, table, row, format); });
}

SaveResult SaveMemoryFile(const QString &path, const QByteArray &image, uint8_t language, const SaveOptions &options)
{
    return SaveThrough(path, options, [&](const std::function<bool(std::string &)> &write) {
        std::string bytes = FileHeaderLine(language).toStdString();
        bytes.append(image.constData(), size_t(image.size()));
        write(bytes);
        return true;
    });
}

} // namespace qv
