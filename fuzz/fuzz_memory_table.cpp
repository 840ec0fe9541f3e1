// Random memory blocks through the memory table builder.
#include "protocol/FormatSettings.h"
#include "protocol/MemoryTable.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    qv::ScopedFormatSettings settings(qv::FormatSettings{(data[0] & 2) ? QChar(',') : QChar('.'), '.', ':'});
    std::vector<uint8_t> block(size + 3);
    block[0] = block[1] = '!';
    std::copy(data + 1, data + size, block.begin() + 2);
    block[block.size() - 2] = block[block.size() - 1] = '!';
    QByteArray table;
    const uint32_t faulty = qv::buildMemoryTable(block.data(), uint32_t(block.size()), data[0] & 1, table);
    // One line per whole cell, each of 16 tab-ended fields, whatever the cells hold.
    const uint32_t cells = qv::memoryCellCount(uint32_t(block.size()));
    if (faulty > cells || uint32_t(table.count("\r\n")) < cells || uint32_t(table.count('\t')) < cells * 16)
        __builtin_trap();
    return 0;
}
