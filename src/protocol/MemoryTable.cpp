#include "protocol/MemoryTable.h"

#include "protocol/Cp1250.h"
#include "protocol/FrameDecoders.h"
#include "protocol/Probes.h"
#include "protocol/ValueFormat.h"
#include "protocol/WireBytes.h"

#include <QStringList>

#include <cmath>

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

QString si(double v) { return FormatValueSI(float(v), true); }

double ratio(double a, double b) { return b != 0.0 ? a / b : 0.0; }

void appendCell(const FrameView &f, uint32_t number, uint8_t language, QStringList &fields)
{
    const uint8_t b5 = f.at(5), b6 = f.at(6);
    const bool relative = (b5 >> 2) & 1, dose = (b5 >> 3) & 1;
    const TDateTime clock = DecodeMeterDateTime(f.ptr(20));

    fields << QString::number(number) << FormatDate(clock) << FormatTime(clock);

    QByteArray comment(reinterpret_cast<const char *>(f.ptr(48)), 16);
    while (comment.endsWith(' '))
        comment.chop(1);
    fields << FromCp1250(comment);

    fields << measValueText(f, single(f, 26), true);

    if (relative) {
        fields << si(single(f, 37)) << si(single(f, 33));
        for (int i = 0; i < 8; ++i)
            fields << QString();
    } else {
        fields << QString() << QString();
        const int32_t count = readI32(f.ptr(32));
        if (dose) {
            if (count < 0)
                throw CellFault{};
            // An integration of a day or more shows its elapsed hours.
            fields << si(single(f, 36)) << FormatElapsed(count);
        } else {
            fields << QString() << QString();
        }
        if (dose || count >= 1) {
            const double sum = single(f, 36), mn = single(f, 40), mx = single(f, 44);
            fields << QString::number(count) << si(mn) << si(mx)
                   << si(count != 0 ? sum / count : 0.0) << si(ratio(mn * count, sum))
                   << si(ratio(mn, mx));
        } else {
            for (int i = 0; i < 6; ++i)
                fields << QString();
        }
    }

    const int limit = rangeLimitCode(f);
    fields << ProbeDescription(language, !(b6 & 1), f.at(7), f.at(9) >> 4, (b5 >> 7) & 1,
                               (b6 >> 3) & 1, limit == 2, limit == 1 && (f.at(8) & 0x0F) > 0);
}

} // namespace

bool buildMemoryTable(const uint8_t *block, uint32_t size, uint8_t language, QByteArray &table)
{
    const uint32_t cells = memoryCellCount(size);
    QByteArray text;
    text.reserve(int(cells) * 120);
    try {
        QStringList fields;
        for (uint32_t u = 0; u < cells; ++u) {
            fields.clear();
            appendCell(FrameView(block + 2 + MemoryCellSize * u, 3), u + 1, language, fields);
            for (const QString &field : fields) {
                text += ToCp1250(field);
                text += '\t';
            }
            text += "\r\n";
        }
    } catch (const CellFault &) {
        return false;
    }
    table = text;
    return true;
}

} // namespace qv
