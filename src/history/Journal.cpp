#include "history/Journal.h"

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
#include <unordered_map>

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
        out += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e;
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

std::vector<std::string_view> splitTabs(std::string_view line)
{
    std::vector<std::string_view> fields;
    size_t start = 0;
    while (true) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos)
            return fields;
        start = tab + 1;
    }
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

struct Replay {
    std::vector<HistoryRow> rows;
    std::vector<char> live, fresh;   // per row: not deleted; added since the save
    std::unordered_map<std::string, size_t> byId;
    size_t liveCount = 0;
    qint64 count = 0, id = 0;

    void add(HistoryRow &&row, bool unsaved)
    {
        byId[row[hc::Id]] = rows.size();
        rows.push_back(std::move(row));
        live.push_back(1);
        fresh.push_back(unsaved ? 1 : 0);
        ++liveCount;
    }
    void remove(std::string_view idText)
    {
        const auto it = byId.find(std::string(idText));
        if (it == byId.end() || !live[it->second])
            return;
        live[it->second] = 0;
        byId.erase(it);
        if (--liveCount == 0)
            count = id = 0;   // an emptied history numbers from 1 again
    }
};
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
        const std::vector<std::string_view> f = splitTabs(payload);
        const char kind = payload[0];
        bool ok = f[0].size() == 1;
        if (ok && (kind == 'R' || kind == 'B') && f.size() == 3 + hc::HistoryColumns) {
            HistoryRow row;
            for (int c = 0; c < hc::HistoryColumns; ++c)
                row[c] = unescape(f[3 + c]);
            r.add(std::move(row), kind == 'R');
            r.count = toNumber(f[1]);
            r.id = toNumber(f[2]);
            if (kind == 'R')
                out.unsaved = true;
        } else if (ok && kind == 'S' && f.size() == 3) {
            r.count = toNumber(f[1]);
            r.id = toNumber(f[2]);
            std::fill(r.fresh.begin(), r.fresh.end(), 0);
            out.unsaved = false;
        } else if (ok && kind == 'D' && f.size() == 2) {
            r.remove(f[1]);
            out.unsaved = true;
        } else if (ok && kind == 'C' && f.size() == 3) {
            const auto it = r.byId.find(std::string(f[1]));
            if (it != r.byId.end())
                r.rows[it->second][hc::Comment] = unescape(f[2]);
            out.unsaved = true;
        } else {
            out.damaged = true;
            break;
        }
        pos = lf + 1;
        out.validBytes = qint64(pos);
    }
    for (size_t i = 0; i < r.rows.size(); ++i) {
        if (!r.live[i])
            continue;
        out.unsavedRows += r.fresh[i];
        out.rows.push_back(std::move(r.rows[i]));
    }
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
    if (::lseek(m_fd, 0, SEEK_END) < 0)
        return failed(errno);
    size_t done = 0;
    while (done < lines.size()) {
        const ssize_t n = ::write(m_fd, lines.data() + done, lines.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return failed(errno);
        done += size_t(n);
    }
    if (::fdatasync(m_fd) != 0)
        return failed(errno);
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
