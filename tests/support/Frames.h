// Building the meter's frames in tests, field by field.
#pragma once

#include "protocol/WireBytes.h"

#include <QByteArray>

#include <cstdint>
#include <vector>

namespace qvtest {

class Frame {
public:
    explicit Frame(uint8_t type)
    {
        const int length = lengthOf(type);
        m_bytes.assign(size_t(length), 0);
        m_bytes[0] = m_bytes[1] = '%';
        m_bytes[2] = type;
        m_bytes[size_t(length - 2)] = m_bytes[size_t(length - 1)] = '#';
    }
    static int lengthOf(uint8_t type)
    {
        switch (type) {
        case 0x00: case 0x05: return 66;
        case 0x01: return 28;
        case 0x02: return 50;
        case 0x03: return 106;
        case 0x06: return 49;
        default: return 5;
        }
    }
    Frame &byte(int offset, uint8_t v) { m_bytes.at(size_t(offset)) = v; return *this; }
    Frame &word(int offset, uint16_t v) { qv::writeU16(&m_bytes.at(size_t(offset) + 1) - 1, v); return *this; }
    Frame &u32(int offset, uint32_t v) { qv::writeU32(&m_bytes.at(size_t(offset) + 3) - 3, v); return *this; }
    Frame &single(int offset, float v) { qv::writeSingle(&m_bytes.at(size_t(offset) + 3) - 3, v); return *this; }
    Frame &text(int offset, const char *s)
    {
        for (int i = 0; s[i]; ++i)
            m_bytes.at(size_t(offset + i)) = uint8_t(s[i]);
        return *this;
    }
    // Key codes at bytes 3 and 4, and the menu code word.
    Frame &keys(uint8_t first, uint8_t second = 0) { return byte(3, first).byte(4, second); }
    Frame &menu(uint16_t w) { return word(12, w); }
    // A plausible meter clock: 2009-12-31 23:59:30.
    Frame &clock() { static const uint8_t c[6] = {0x30, 0x59, 0x23, 0x31, 0x12, 0x09}; for (int i = 0; i < 6; ++i) m_bytes[size_t(20 + i)] = c[i]; return *this; }

    const std::vector<uint8_t> &bytes() const { return m_bytes; }
    QByteArray data() const { return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), qsizetype(m_bytes.size())); }
    const uint8_t *ptr() const { return m_bytes.data(); }

private:
    std::vector<uint8_t> m_bytes;
};

// A memory block of `cells` 63-byte cells, "!!" at both ends. Each cell is a
// type 0x00 frame's bytes 3 to 65.
class MemoryBlock {
public:
    explicit MemoryBlock(int cells) : m_bytes(size_t(4 + 63 * cells), 0)
    {
        m_bytes[0] = m_bytes[1] = '!';
        m_bytes[m_bytes.size() - 2] = m_bytes[m_bytes.size() - 1] = '!';
    }
    void setCell(int index, const Frame &record)
    {
        for (int j = 0; j < 63; ++j)
            m_bytes[size_t(2 + 63 * index + j)] = record.bytes()[size_t(3 + j)];
    }
    QByteArray data() const { return QByteArray(reinterpret_cast<const char *>(m_bytes.data()), qsizetype(m_bytes.size())); }
    uint32_t size() const { return uint32_t(m_bytes.size()); }

private:
    std::vector<uint8_t> m_bytes;
};

} // namespace qvtest
