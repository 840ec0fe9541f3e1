// Random bytes after each of the file headers through the history and memory
// file readers. The first byte picks the header, the separators, the block
// size and the row limit; the rest is the file's data. Besides memory
// errors, the rows must come out numbered, cut to their lengths, and the
// same whatever the block size.
#include "files/DataFileReader.h"
#include "files/HistoryFields.h"
#include "protocol/FormatSettings.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const uint8_t pick = data[0];
    // Polish, English or the legacy header.
    const auto header = qv::DataHeader(int(qv::DataHeader::Polish) + pick % 3);
    qv::ScopedFormatSettings settings(qv::FormatSettings{(pick & 4) ? QChar(',') : QChar('.'),
                                                         (pick & 8) ? QChar('.') : QChar('-'), ':'});
    QByteArray bytes = qv::HeaderBytes(header);
    bytes.append(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    const qv::TextWidths widths = qv::TextWidths::fixed(1);
    std::vector<std::string> rowsRead[2];
    const int blockSizes[2] = {65534, 1 + (pick >> 4)};
    for (int pass = 0; pass < 2; ++pass) {
        qv::HistoryStore store(widths);
        if (pick & 0x80)
            store.MaxHistRows = 3;
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        qv::FileReadOptions options;
        options.blockSize = blockSizes[pass];
        options.threads = 1;
        const qv::FileReadResult r = qv::ReadHistoryFile(in, QStringLiteral("fuzz"), store, options);
        // (A single row with nothing but its identifier counts as no history.)
        if ((r.rows > 0 && r.rows != store.hist().rowCount()) || r.rows > store.MaxHistRows ||
            store.HistRows() > r.rows)
            __builtin_trap();
        for (int row = 0; row < r.rows; ++row) {
            rowsRead[pass].emplace_back(store.hist().rowView(row));
            if (store.hist().cellView(row, qv::hc::Id) != std::to_string(row + 1))
                __builtin_trap();
            if (store.hist().cellView(row, qv::hc::Comment).size() > qv::CommentFieldLength)
                __builtin_trap();
            for (int c = 0; c < qv::hc::Id; ++c)
                if (store.hist().cellView(row, c).size() > qv::MaxFieldLength)
                    __builtin_trap();
        }
    }
    if (rowsRead[0] != rowsRead[1])
        __builtin_trap();

    QBuffer memory(&bytes);
    memory.open(QIODevice::ReadOnly);
    const qv::MemoryReadResult m = qv::ReadMemoryFile(memory, QStringLiteral("fuzz"));
    if (m.image.size() > qv::MemoryFileBlock || m.lines > qv::hc::MemoryRows || (m.loaded != (m.lines > 0)))
        __builtin_trap();
    return 0;
}
