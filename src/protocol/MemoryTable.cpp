#include "protocol/MemoryTable.h"

#include "protocol/Cp1250.h"
#include "protocol/FrameDecoders.h"
#include "protocol/Probes.h"
#include "protocol/ValueFormat.h"
#include "protocol/WireBytes.h"


#include <cmath>
#include <string>

namespace qv {

namespace {

// Thrown inside the table builder only, for a cell that cannot be shown.
struct CellFault {};

float single(const FrameView &f, int offset)
{
    const float v = readSingle(f.ptr(offset));
    if (!std::isfinite(v))
        throw CellFault{};
    return v;
}


// Appends one field and its tab, in Windows-1250.
void addField(std::string &out, const QString &field)
{
    char ascii[64];
    qsizetype n = 0;
    for (QChar c : field) {
        if (c.unicode() >= 0x80 || n == qsizetype(sizeof ascii) - 1) {
            out += ToCp1250(field).toStdString();
            out += '\t';
            return;
        }
        ascii[n++] = char(c.unicode());
    }
    ascii[n++] = '\t';
    out.append(ascii, size_t(n));
}

// A value in exponent form as a field.
void addValueField(std::string &out, double v)
{
    static thread_local QString text;
    FormatValueSIInto(text, float(v), true);
    addField(out, text);
}

void addEmptyFields(std::string &out, int n)
{
    out.append(size_t(n), '\t');
}

double ratio(double a, double b) { return b != 0.0 ? a / b : 0.0; }

void appendCell(const FrameView &f, uint32_t number, uint8_t language, std::string &out)
{
    const uint8_t b5 = f.at(5), b6 = f.at(6);
    const bool relative = (b5 >> 2) & 1, dose = (b5 >> 3) & 1;
    const TDateTime clock = DecodeMeterDateTime(f.ptr(20));

    out += std::to_string(number);
    out += '\t';
    addField(out, FormatDate(clock));
    addField(out, FormatTime(clock));

    int commentLength = 16;
    while (commentLength > 0 && f.at(48 + commentLength - 1) == ' ')
        --commentLength;
    // The comment is in the meter's own 8-bit text already.
    out.append(reinterpret_cast<const char *>(f.ptr(48)), size_t(commentLength));
    out += '\t';

    static thread_local QString value;
    FormatValueRangeInto(value, measRangeNumber(f), f.at(30), true, single(f, 26));
    addField(out, value);

    if (relative) {
        addValueField(out, (single(f, 37)));
        addValueField(out, (single(f, 33)));
        addEmptyFields(out, 8);
    } else {
        addEmptyFields(out, 2);
        const int32_t count = readI32(f.ptr(32));
        if (dose) {
            if (count < 0)
                throw CellFault{};
            addValueField(out, (single(f, 36)));
            // An integration of a day or more shows its elapsed hours.
            addField(out, FormatElapsed(count));
        } else {
            addEmptyFields(out, 2);
        }
        if (dose || count >= 1) {
            const double sum = single(f, 36), mn = single(f, 40), mx = single(f, 44);
            out += std::to_string(count);
            out += '\t';
            addValueField(out, (mn));
            addValueField(out, (mx));
            addValueField(out, (count != 0 ? sum / count : 0.0));
            addValueField(out, (ratio(mn * count, sum)));
            addValueField(out, (ratio(mn, mx)));
        } else {
            addEmptyFields(out, 6);
        }
    }

    const int limit = rangeLimitCode(f);
    addField(out, ProbeDescription(language, !(b6 & 1), f.at(7), f.at(9) >> 4, (b5 >> 7) & 1,
                                   (b6 >> 3) & 1, limit == 2, limit == 1 && (f.at(8) & 0x0F) > 0));
    out += "\r\n";
}

} // namespace

bool buildMemoryTable(const uint8_t *block, uint32_t size, uint8_t language, QByteArray &table)
{
    const uint32_t cells = memoryCellCount(size);
    std::string text;
    text.reserve(size_t(cells) * 200);
    try {
        for (uint32_t u = 0; u < cells; ++u)
            appendCell(FrameView(block + 2 + MemoryCellSize * u, 3), u + 1, language, text);
    } catch (const CellFault &) {
        return false;
    }
    table = QByteArray(text.data(), qsizetype(text.size()));
    return true;
}

} // namespace qv
