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

// What the table cannot show: a measured value that its range text has no
// place for (not a number, infinite) or a negative integration time. Every
// other Single is shown whatever it holds (an infinity as the largest value,
// NaN as 0).
bool valuesCanBeShown(const FrameView &f)
{
    const uint8_t b5 = f.at(5);
    const bool relative = (b5 >> 2) & 1, dose = (b5 >> 3) & 1;
    return std::isfinite(readSingle(f.ptr(26))) && (relative || !dose || readI32(f.ptr(32)) >= 0);
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

// A value in exponent form as a field (rounded to a Single, as the meter's
// numbers are).
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

// Fields 5 to 15: the value and the mode-dependent values.
void appendValueFields(const FrameView &f, std::string &out)
{
    const uint8_t b5 = f.at(5);
    const bool relative = (b5 >> 2) & 1, dose = (b5 >> 3) & 1;

    static thread_local QString value;
    FormatValueRangeInto(value, measRangeNumber(f), f.at(30), true, readSingle(f.ptr(26)));
    addField(out, value);

    if (relative) {
        addValueField(out, readSingle(f.ptr(37)));
        addValueField(out, readSingle(f.ptr(33)));
        addEmptyFields(out, 8);
        return;
    }
    addEmptyFields(out, 2);
    const int32_t count = readI32(f.ptr(32));
    if (dose) {
        addValueField(out, readSingle(f.ptr(36)));
        // An integration of a day or more shows its elapsed hours.
        addField(out, FormatElapsed(count));
    } else {
        addEmptyFields(out, 2);
    }
    if (dose || count >= 1) {
        const double sum = readSingle(f.ptr(36)), mn = readSingle(f.ptr(40)),
                     mx = readSingle(f.ptr(44));
        out += std::to_string(count);
        out += '\t';
        addValueField(out, mn);
        addValueField(out, mx);
        // A ratio may overflow a Single: it then shows as the largest value.
        addValueField(out, ratio(sum, count));
        addValueField(out, ratio(mn * count, sum));
        addValueField(out, ratio(mn, mx));
    } else {
        addEmptyFields(out, 6);
    }
}

// One line of the table; returns false when the cell's values could not be
// shown (its fields 5 to 15 are then left empty).
bool appendCell(const FrameView &f, uint32_t number, uint8_t language, std::string &out)
{
    const uint8_t b5 = f.at(5), b6 = f.at(6);
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

    const bool shown = valuesCanBeShown(f);
    if (shown)
        appendValueFields(f, out);
    else
        addEmptyFields(out, ValueFieldCount);

    const int limit = rangeLimitCode(f);
    addField(out, ProbeDescription(language, !(b6 & 1), f.at(7), f.at(9) >> 4, (b5 >> 7) & 1,
                                   (b6 >> 3) & 1, limit == 2, limit == 1 && (f.at(8) & 0x0F) > 0));
    out += "\r\n";
    return shown;
}

} // namespace

uint32_t buildMemoryTable(const uint8_t *block, uint32_t size, uint8_t language, QByteArray &table)
{
    const uint32_t cells = memoryCellCount(size);
    std::string text;
    text.reserve(size_t(cells) * 200);
    uint32_t faulty = 0;
    for (uint32_t u = 0; u < cells; ++u) {
        if (!appendCell(FrameView(block + 2 + MemoryCellSize * u, 3), u + 1, language, text))
            ++faulty;
    }
    table = QByteArray(text.data(), qsizetype(text.size()));
    return faulty;
}

} // namespace qv
