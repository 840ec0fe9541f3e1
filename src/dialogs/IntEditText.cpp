#include "dialogs/IntEditText.h"

#include <algorithm>
#include <limits>

namespace qv {

QString filterIntText(const QString &text, int *cursor)
{
    QString out;
    out.reserve(text.size());
    int removedBeforeCursor = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool keep = (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                          || (c == QLatin1Char('-') && i == 0);
        if (keep)
            out.append(c);
        else if (cursor && i < *cursor)
            ++removedBeforeCursor;
    }
    if (cursor)
        *cursor -= removedBeforeCursor;
    return out;
}

CommittedInt commitIntText(const QString &typed)
{
    constexpr int kWidth = 11;
    static const QString kMin = QString::number(std::numeric_limits<int32_t>::min());
    static const QString kMax = QString::number(std::numeric_limits<int32_t>::max());
    static const QString kMinPadded = kMin.rightJustified(kWidth, QLatin1Char('0'));
    static const QString kMaxPadded = kMax.rightJustified(kWidth, QLatin1Char('0'));

    QString text = typed.left(kWidth);
    const QString padded = text.rightJustified(kWidth, QLatin1Char('0'));
    if (padded < kMinPadded)
        text = kMin;
    else if (padded > kMaxPadded)
        text = kMax;

    int zeros = 0;
    while (zeros < text.size() && text.at(zeros) == QLatin1Char('0'))
        ++zeros;
    text.remove(0, zeros);
    if (text.isEmpty())
        text = QStringLiteral("0");

    CommittedInt result{text, std::nullopt};
    bool ok = false;
    const int v = text.toInt(&ok);
    if (ok)
        result.value = v;
    return result;
}

int32_t snapIntValue(int64_t v, int32_t min, int32_t max, uint16_t step)
{
    const int64_t clamped = std::clamp<int64_t>(v, min, max);
    const int64_t s = std::max<int64_t>(step, 1);
    return int32_t(clamped / s * s);
}

} // namespace qv
