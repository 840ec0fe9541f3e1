#include "files/DataFileReader.h"

#include "files/BlockParsers.h"
#include "files/HistoryFields.h"
#include "history/HistoryColumns.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <new>

namespace qv {

namespace {

const char *findCrLf(const char *p, const char *end)
{
    while (p < end) {
        const auto *cr = static_cast<const char *>(std::memchr(p, '\r', size_t(end - p)));
        if (!cr)
            return end;
        if (cr + 1 < end && cr[1] == '\n')
            return cr;
        p = cr + 1;
    }
    return end;
}

// The record lines of a text: one per CR LF, and a last one without CR LF
// when the text is the end of the file.
qint64 countLines(std::string_view text, bool endOfFile)
{
    qint64 lines = 0;
    const char *p = text.data();
    const char *end = p + text.size();
    for (;;) {
        const char *eol = findCrLf(p, end);
        if (eol == end)
            break;
        ++lines;
        p = eol + 2;
    }
    if (endOfFile && p < end)
        ++lines;
    return lines;
}

// The end of the last CR LF in text (0 when it has none).
size_t afterLastCrLf(std::string_view text)
{
    size_t at = text.size();
    while (at >= 2) {
        const size_t lf = text.rfind('\n', at - 1);
        if (lf == std::string_view::npos || lf == 0)
            return 0;
        if (text[lf - 1] == '\r')
            return lf + 1;
        at = lf;
    }
    return 0;
}

struct ParseSetup {
    bool legacy = false;
    FieldFormat format;
    const TextWidths *widths = nullptr;
    int widestAdvance = 0;
    int columnOf[hc::Notes + 1];         // of field 0..15; -1: ignored
    FieldRule ruleOf[hc::Notes + 1];     // of column 0..15
};

// One block of complete lines into packed rows: the cells of columns 0..15
// converted by their rules, then the identifier (the line's number in the
// file) in column 16.
void parseLines(BlockJob &job, const ParseSetup &setup)
{
    CellTable::PackedRows &out = job.out;
    // Room for what the program writes (each line gives up its CR LF and
    // takes an identifier); a line that needs more grows the buffer.
    size_t capacity = job.text.size() + size_t(job.lines) * 12 + 64;
    std::unique_ptr<char[]> bytes(new char[capacity]);
    size_t used = 0;
    const auto reallocate = [&](size_t size) {
        std::unique_ptr<char[]> bigger(new char[size]);
        std::memcpy(bigger.get(), bytes.get(), used);
        bytes = std::move(bigger);
        capacity = size;
    };
    out.rows.reserve(size_t(job.lines));
    std::vector<int> &fit = out.fitWidths;
    fit.assign(hc::HistoryColumns, 0);
    const auto widen = [&](int column, const char *cell, size_t length) {
        // Only a cell that might be wider than the widest so far is measured.
        if (length == 0 || int(length) * setup.widestAdvance + 5 <= fit[size_t(column)])
            return;
        fit[size_t(column)] = std::max(fit[size_t(column)], setup.widths->width({cell, length}) + 5);
    };
    const char *p = job.text.data();
    const char *end = p + job.text.size();
    for (qint64 line = 0; line < job.lines; ++line) {
        const char *eol = findCrLf(p, end);
        const size_t room = size_t(eol - p) + hc::HistoryColumns * (MaxRewrittenCell + 1) + 24;
        if (capacity - used < room)
            reallocate(std::max(capacity + capacity / 2, used + room));
        char *const rowStart = bytes.get() + used;
        char *w = rowStart;
        int column = 0;   // the column the next cell written is
        int index = 0;
        const char *f = p;
        for (;; ++index) {
            const char *fieldEnd = f;
            while (fieldEnd < eol && *fieldEnd != '\t')
                ++fieldEnd;
            const int c = index <= hc::Notes ? setup.columnOf[index] : -1;
            if (c >= 0) {
                for (; column < c; ++column)
                    *w++ = '\t';
                const std::string_view field(f, std::min(size_t(fieldEnd - f), MaxFieldLength));
                char *cell = w;
                w = WriteFieldCell(w, field, setup.ruleOf[c], setup.format);
                widen(c, cell, size_t(w - cell));
            } else if (index > hc::Notes) {
                break;   // no column takes further fields
            }
            if (fieldEnd == eol)
                break;
            f = fieldEnd + 1;
        }
        for (; column < hc::Id; ++column)
            *w++ = '\t';
        char *id = w;
        w = std::to_chars(w, w + 24, job.firstRow + line + 1).ptr;
        widen(hc::Id, id, size_t(w - id));
        out.rows.emplace_back(uint32_t(used), uint32_t(w - rowStart));
        used = size_t(w - bytes.get());
        p = eol + 2;
    }
    if (capacity > used + used / 8 + 4096)
        reallocate(used);
    out.bytes = std::move(bytes);
    out.size = capacity;
    job.text = std::string();
}

// Storing a line fails only when memory runs out: the rows before it stay.
void parseBlock(BlockJob &job, const ParseSetup &setup)
{
    try {
        parseLines(job, setup);
    } catch (const std::bad_alloc &) {
        job.out = CellTable::PackedRows();
        job.outOfMemory = true;
        job.text = std::string();
    }
}

int percentOf(qint64 part, qint64 whole)
{
    return whole > 0 ? int((part * 100 + whole / 2) / whole) : 100;
}

qint64 readSome(QIODevice &in, std::string &to, qint64 count)
{
    const size_t at = to.size();
    to.resize(at + size_t(count));
    const qint64 n = in.read(to.data() + at, count);
    to.resize(at + size_t(std::max<qint64>(n, 0)));
    return n;
}

size_t longestHeader()
{
    size_t n = 0;
    for (DataHeader h : {DataHeader::Polish, DataHeader::English, DataHeader::Legacy})
        n = std::max(n, size_t(HeaderBytes(h).size()));
    return n;
}

// Reads the header; `rest` gets the bytes read after it.
DataHeader readHeader(QIODevice &in, bool history, std::string &rest, qint64 &headerLength)
{
    std::string start;
    readSome(in, start, qint64(longestHeader()));
    const DataHeader h = RecognizeHeader(start, history);
    headerLength = h == DataHeader::None ? 0 : HeaderBytes(h).size();
    rest = start.substr(size_t(headerLength));
    // The data are read from just after the header (a stream keeps what it gave).
    if (h != DataHeader::None && !in.isSequential() && in.seek(headerLength))
        rest.clear();
    return h;
}

int lastErrno()
{
    return errno ? errno : EIO;
}

} // namespace

QByteArray HeaderBytes(DataHeader header)
{
    // Made once: each reading of a file asks for them several times, and
    // making one converts every column title.
    static const QByteArray polish = FileHeaderLine(0), english = FileHeaderLine(1), legacy = FileHeaderOld();
    switch (header) {
    case DataHeader::Polish:
        return polish;
    case DataHeader::English:
        return english;
    case DataHeader::Legacy:
        return legacy;
    case DataHeader::None:
        break;
    }
    return {};
}

DataHeader RecognizeHeader(std::string_view start, bool history)
{
    for (DataHeader h : {DataHeader::Polish, DataHeader::English, DataHeader::Legacy}) {
        if (h == DataHeader::Legacy && !history)
            break;
        const QByteArray bytes = HeaderBytes(h);
        if (start.size() >= size_t(bytes.size()) && start.compare(0, size_t(bytes.size()), bytes.constData()) == 0)
            return h;
    }
    return DataHeader::None;
}

FileReadResult ReadHistoryFile(QIODevice &in, const QString &path, HistoryStore &store,
                               const FileReadOptions &options)
{
    FileReadResult result;
    const QString shown = ShownPath(options.shortenPath, path);
    std::string carry;
    qint64 position = 0;
    result.header = readHeader(in, true, carry, position);
    if (result.header == DataHeader::None) {
        result.status = FileReadResult::NotRecognized;
        result.message = msg::NotRecognized(shown);
        return result;
    }

    ParseSetup setup;
    setup.legacy = result.header == DataHeader::Legacy;
    setup.format = FieldFormat::current();
    setup.widths = &store.hist().textWidths();
    for (uint16_t a : setup.widths->advance)
        setup.widestAdvance = std::max(setup.widestAdvance, int(a));
    for (int i = 0; i <= hc::Notes; ++i) {
        setup.columnOf[i] = ColumnOfField(i, setup.legacy);
        setup.ruleOf[i] = RuleOfColumn(i);
    }
    BlockParsers parsers(options.threads, [&setup](BlockJob &job) { parseBlock(job, setup); });

    const qint64 size = in.size();
    const qint64 limit = std::max(store.MaxHistRows, 0);
    const qint64 blockSize = std::max(options.blockSize, 1);
    qint64 lines = 0;   // lines found so far
    bool endOfFile = false;
    while (!endOfFile && lines < limit) {
        if (options.abortRequested && options.abortRequested()) {
            result.status = FileReadResult::Aborted;
            break;
        }
        errno = 0;
        const qint64 n = readSome(in, carry, blockSize);
        if (n < 0) {
            const int code = lastErrno();
            result.status = FileReadResult::Failed;
            result.message = msg::ReadError(shown, code, msg::SystemErrorText(code));
            break;
        }
        endOfFile = n == 0 || in.atEnd();
        // Complete lines only; the rest starts the next block.
        const size_t kept = endOfFile ? carry.size() : afterLastCrLf(carry);
        if (kept == 0 && !endOfFile)
            continue;   // a line longer than the block: read on
        auto job = std::make_unique<BlockJob>();
        // The block keeps its bytes; only the cut line is copied.
        job->text = std::move(carry);
        carry.assign(job->text, kept, std::string::npos);
        job->text.resize(kept);
        job->firstRow = lines;
        const qint64 found = countLines(job->text, endOfFile);
        job->lines = std::min(found, limit - lines);
        lines += found;
        position += qint64(kept);
        if (job->lines > 0)
            parsers.submit(std::move(job));
        if (options.progress)
            options.progress(percentOf(position, size));
    }
    qint64 rows = std::min(lines, limit);
    if (result.status == FileReadResult::Opened && lines >= limit && (lines > limit || !carry.empty() || !in.atEnd())) {
        result.status = FileReadResult::TooManyData;
        result.message = msg::TooManyData(limit, shown);
    }

    std::vector<CellTable::PackedRows> parts;
    for (std::unique_ptr<BlockJob> &job : parsers.finish()) {
        if (job->outOfMemory) {
            rows = job->firstRow;
            result.status = FileReadResult::Failed;
            result.message = msg::ReadError(shown, ENOMEM, msg::SystemErrorText(ENOMEM));
            break;
        }
        parts.push_back(std::move(job->out));
    }
    store.loadPacked(std::move(parts), rows, rows);
    result.rows = int(rows);
    return result;
}

namespace {
// Opens a file to read: Opened, or NotFound, or Failed with the message.
FileReadResult::Status openToRead(QFile &file, const PathShortener &shortenPath, QString &message)
{
    const QString path = file.fileName();
    const QFileInfo info(path);
    if (!info.exists())
        return FileReadResult::NotFound;
    errno = 0;
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        const int code = info.isDir() ? EISDIR : lastErrno();
        message = msg::ReadError(ShownPath(shortenPath, path), code, msg::SystemErrorText(code));
        return FileReadResult::Failed;
    }
    return FileReadResult::Opened;
}
} // namespace

FileReadResult ReadHistoryFile(const QString &path, HistoryStore &store, const FileReadOptions &options)
{
    FileReadResult result;
    QFile file(path);
    result.status = openToRead(file, options.shortenPath, result.message);
    if (result.status != FileReadResult::Opened)
        return result;
    return ReadHistoryFile(file, path, store, options);
}

MemoryLineCount CountMemoryLines(std::string_view data, int limit)
{
    MemoryLineCount c;
    size_t start = 0;
    while (c.lines < limit && start < data.size()) {
        const size_t cr = data.find('\r', start + 1);
        if (cr == std::string_view::npos)
            break;
        ++c.lines;
        start = cr + 2;
    }
    c.kept = int(std::min(start, data.size()));
    c.more = c.lines == limit && start < data.size();
    return c;
}

MemoryReadResult ReadMemoryFile(QIODevice &in, const QString &path, const PathShortener &shortenPath)
{
    MemoryReadResult result;
    const QString shown = ShownPath(shortenPath, path);
    std::string data;
    qint64 headerLength = 0;
    result.header = readHeader(in, false, data, headerLength);
    if (result.header == DataHeader::None) {
        result.status = FileReadResult::NotRecognized;
        result.message = msg::NotRecognized(shown);
        return result;
    }
    // One block after the header; what lies beyond it is not read.
    if (data.size() < size_t(MemoryFileBlock)) {
        errno = 0;
        if (readSome(in, data, MemoryFileBlock - qint64(data.size())) < 0) {
            const int code = lastErrno();
            result.status = FileReadResult::Failed;
            result.message = msg::ReadError(shown, code, msg::SystemErrorText(code));
            return result;
        }
    }
    data.resize(std::min(data.size(), size_t(MemoryFileBlock)));
    const MemoryLineCount count = CountMemoryLines(data, hc::MemoryRows);
    result.lines = count.lines;
    if (count.lines > 0) {
        result.loaded = true;
        result.image = QByteArray(data.data(), count.kept);
    }
    if (count.more) {
        result.status = FileReadResult::TooManyData;
        result.message = msg::TooManyData(hc::MemoryRows, shown);
    }
    return result;
}

MemoryReadResult ReadMemoryFile(const QString &path, const PathShortener &shortenPath)
{
    MemoryReadResult result;
    QFile file(path);
    result.status = openToRead(file, shortenPath, result.message);
    if (result.status != FileReadResult::Opened)
        return result;
    return ReadMemoryFile(file, path, shortenPath);
}

} // namespace qv
