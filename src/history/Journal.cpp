#include "history/Journal.h"

#include "history/DurableAppend.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <algorithm>

namespace qv {

namespace {
const char Magic[] = "QV7XX-JOURNAL 1";

void appendEscaped(std::string &out, std::string_view cell)
{
    for (char c : cell) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default: out += c;
        }
    }
}

std::string unescape(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char e = s[++i];
        // A TAB separates cells: inside one it can only stand as a blank.
        out += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? ' ' : e;
    }
    return out;
}

// Ends a record: TAB, "#", the CRC-16 of the line so far, LF.
void seal(std::string &out, size_t lineStart)
{
    const quint16 crc = qChecksum(QByteArrayView(out.data() + lineStart, qsizetype(out.size() - lineStart)));
    char tail[8];
    std::snprintf(tail, sizeof tail, "\t#%04x\n", crc);
    out += tail;
}

void startLine(std::string &out, char kind, size_t &lineStart)
{
    lineStart = out.size();
    out += kind;
}

void appendNumber(std::string &out, qint64 n)
{
    out += '\t';
    out += std::to_string(n);
}

void appendRowLine(std::string &out, char kind, qint64 count, qint64 id, const CellTable &t, int row)
{
    size_t start;
    startLine(out, kind, start);
    appendNumber(out, count);
    appendNumber(out, id);
    for (int c = 0; c < hc::HistoryColumns; ++c) {
        out += '\t';
        appendEscaped(out, t.cellView(row, c));
    }
    seal(out, start);
}

qint64 toNumber(std::string_view s)
{
    qint64 n = 0;
    std::from_chars(s.data(), s.data() + s.size(), n);
    return n;
}

// The next TAB-separated field of a line (the rest when none follows).
std::string_view nextField(std::string_view &rest)
{
    const size_t tab = rest.find('\t');
    const std::string_view field = rest.substr(0, tab);
    rest = tab == std::string_view::npos ? std::string_view() : rest.substr(tab + 1);
    return field;
}

// The payload of a sealed line, or false when the line is damaged.
bool unseal(std::string_view line, std::string_view &payload)
{
    if (line.size() < 7 || line[line.size() - 6] != '\t' || line[line.size() - 5] != '#')
        return false;
    payload = line.substr(0, line.size() - 6);
    unsigned crc = 0;
    const auto hex = line.substr(line.size() - 4);
    const auto r = std::from_chars(hex.data(), hex.data() + 4, crc, 16);
    if (r.ec != std::errc() || r.ptr != hex.data() + 4)
        return false;
    return qChecksum(QByteArrayView(payload.data(), qsizetype(payload.size()))) == crc;
}

// The history as the records rebuild it. Identifiers only grow in a journal
// (each new row takes the next one; deleting everything starts a new
// journal), so rows are found by a binary search over them.
struct Replay {
    std::unique_ptr<CellTable> table;
    std::vector<qint64> ids;
    std::vector<char> live, fresh;   // per row: not deleted; added since the save
    size_t liveCount = 0;
    qint64 count = 0, id = 0;

    Replay()
    {
        static const TextWidths none{};
        table = std::make_unique<CellTable>(hc::HistoryColumns, none);
    }
    void add(std::string_view row, qint64 rowId, bool unsaved)
    {
        const int at = ids.empty() ? 0 : table->appendRows(1);
        table->setRowBytes(at, row, false);
        ids.push_back(rowId);
        live.push_back(1);
        fresh.push_back(unsaved ? 1 : 0);
        ++liveCount;
    }
    long find(qint64 rowId) const
    {
        const auto it = std::lower_bound(ids.begin(), ids.end(), rowId);
        if (it != ids.end() && *it == rowId && live[size_t(it - ids.begin())])
            return long(it - ids.begin());
        // Out of order (a journal written by hand): look everywhere.
        for (size_t i = 0; i < ids.size(); ++i)
            if (ids[i] == rowId && live[i])
                return long(i);
        return -1;
    }
    void remove(qint64 rowId)
    {
        const long at = find(rowId);
        if (at < 0)
            return;
        live[size_t(at)] = 0;
        if (--liveCount == 0)
            count = id = 0;   // an emptied history numbers from 1 again
    }
    void setComment(qint64 rowId, const std::string &text)
    {
        const long at = find(rowId);
        if (at >= 0)
            table->setCellBytes(int(at), hc::Comment, text);
    }
};

// A row record's cells, unescaped and joined by TAB; its identifier.
bool readRow(std::string_view rest, std::string &row, qint64 &rowId)
{
    row.clear();
    for (int c = 0; c < hc::HistoryColumns; ++c) {
        if (c && rest.data() == nullptr)
            return false;
        const std::string_view cell = nextField(rest);
        if (c)
            row += '\t';
        row += unescape(cell);
        if (c == hc::Id)
            rowId = toNumber(cell);
    }
    return rest.data() == nullptr;   // exactly 17 cells
}
} // namespace

std::string JournalRowLine(char kind, const HistoryStore &store, int row)
{
    std::string out;
    appendRowLine(out, kind, store.HistCount, toNumber(store.hist().cellView(row, hc::Id)), store.hist(), row);
    return out;
}

JournalContents ParseJournal(const QByteArray &bytes)
{
    JournalContents out;
    Replay r;
    std::string row;
    const std::string_view all(bytes.constData(), size_t(bytes.size()));
    size_t pos = 0;
    bool first = true;
    while (pos < all.size()) {
        const size_t lf = all.find('\n', pos);
        if (lf == std::string_view::npos) {
            out.damaged = true;   // a line the writer never finished
            break;
        }
        const std::string_view line = all.substr(pos, lf - pos);
        if (first) {
            if (line != Magic) {
                out.damaged = true;
                break;
            }
            first = false;
            pos = lf + 1;
            out.validBytes = qint64(pos);
            continue;
        }
        std::string_view payload;
        if (!unseal(line, payload) || payload.empty()) {
            out.damaged = true;
            break;
        }
        std::string_view rest = payload.substr(1);
        const char kind = payload[0];
        bool ok = !rest.empty() && rest[0] == '\t';
        if (ok)
            rest.remove_prefix(1);
        if (ok && (kind == 'R' || kind == 'B')) {
            const qint64 count = toNumber(nextField(rest));
            const qint64 id = toNumber(nextField(rest));
            qint64 rowId = 0;
            ok = readRow(rest, row, rowId);
            if (ok) {
                r.add(row, rowId, kind == 'R');
                r.count = count;
                r.id = id;
                out.unsaved |= kind == 'R';
            }
        } else if (ok && kind == 'S') {
            r.count = toNumber(nextField(rest));
            r.id = toNumber(nextField(rest));
            std::fill(r.fresh.begin(), r.fresh.end(), 0);
            out.unsaved = false;
        } else if (ok && kind == 'D') {
            r.remove(toNumber(nextField(rest)));
            out.unsaved = true;
        } else if (ok && kind == 'C') {
            const qint64 id = toNumber(nextField(rest));
            r.setComment(id, unescape(rest));
            out.unsaved = true;
        } else {
            ok = false;
        }
        if (!ok) {
            out.damaged = true;
            break;
        }
        pos = lf + 1;
        out.validBytes = qint64(pos);
    }
    for (size_t i = 0; i < r.ids.size(); ++i) {
        if (!r.live[i])
            continue;
        out.unsavedRows += r.fresh[i];
        out.keep.push_back(int(i));
    }
    out.table = std::move(r.table);
    out.histCount = r.count;
    out.histId = r.id;
    return out;
}

JournalContents ReadJournal(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return ParseJournal(f.readAll());
}

Journal::Journal() = default;

Journal::~Journal()
{
    close();
}

QString Journal::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/journal.qvj");
}

bool Journal::open(const QString &path, QString &error)
{
    close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = QStringLiteral("another QV-7xx program is using the journal");
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_path = path;
    // Cut a torn end off, so that new records follow the last whole one.
    const JournalContents now = ReadJournal(path);
    if (now.validBytes == 0) {
        if (!rewrite({}))
            return error = m_error, close(), false;
    } else if (now.damaged) {
        if (::ftruncate(m_fd, now.validBytes) != 0 || ::fdatasync(m_fd) != 0) {
            error = QString::fromLocal8Bit(std::strerror(errno));
            close();
            return false;
        }
    }
    return true;
}

void Journal::close()
{
    if (m_fd >= 0)
        ::close(m_fd);   // the lock goes with the descriptor
    m_fd = -1;
}

bool Journal::append(const std::string &lines)
{
    if (m_fd < 0 || lines.empty())
        return m_fd >= 0;
    if (const int error = AppendDurably(m_fd, lines))
        return failed(error);
    m_failing = false;
    return true;
}

bool Journal::failed(int error)
{
    m_error = QString::fromLocal8Bit(std::strerror(error));
    if (!m_failing && onError)
        onError(m_error);
    m_failing = true;
    return false;
}

bool Journal::rewrite(const std::string &contents)
{
    if (m_fd < 0)
        return false;
    // The lock is held on this descriptor, so the file is cut and refilled in
    // place rather than replaced by another.
    if (::ftruncate(m_fd, 0) != 0)
        return failed(errno);
    return append(std::string(Magic) + '\n' + contents);
}

bool Journal::record(const HistoryStore &store, const HistoryChange &change)
{
    std::string out;
    size_t start;
    switch (change.kind) {
    case HistoryChange::RowsAdded:
        for (int row = change.first; row <= change.last; ++row)
            appendRowLine(out, 'R', store.HistCount, toNumber(store.hist().cellView(row, hc::Id)),
                          store.hist(), row);
        return append(out);
    case HistoryChange::RowDeleted:
        startLine(out, 'D', start);
        appendNumber(out, change.id);
        seal(out, start);
        return append(out);
    case HistoryChange::CommentChanged:
        startLine(out, 'C', start);
        appendNumber(out, change.id);
        out += '\t';
        appendEscaped(out, change.text);
        seal(out, start);
        return append(out);
    case HistoryChange::Cleared:
        return startFresh(nullptr);
    case HistoryChange::Loaded:
        return startFresh(&store);
    }
    return false;
}

bool Journal::startFresh(const HistoryStore *saved)
{
    std::string out;
    if (saved) {
        for (int row = 0; row < saved->HistRows(); ++row)
            appendRowLine(out, 'B', 0, 0, saved->hist(), row);
        size_t start;
        startLine(out, 'S', start);
        appendNumber(out, saved->HistCount);
        appendNumber(out, saved->HistId);
        seal(out, start);
    }
    return rewrite(out);
}

QString Journal::moveAside()
{
    if (m_fd < 0)
        return {};
    const QFileInfo info(m_path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside = info.absolutePath() + QStringLiteral("/journal-") + stamp + QStringLiteral(".qvj");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = info.absolutePath() + QStringLiteral("/journal-%1-%2.qvj").arg(stamp).arg(n);
    if (!QFile::copy(m_path, aside)) {
        m_error = QStringLiteral("cannot copy the journal to ") + aside;
        return {};
    }
    return rewrite({}) ? aside : QString();
}

} // namespace qv
