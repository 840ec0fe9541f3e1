#include "serial/PortOrder.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace qv {

namespace {

QString naturalKey(const QString &name, int length)
{
    QString key = name;
    int digit = 0;
    while (digit < key.size() && !(key.at(digit) >= QLatin1Char('0') && key.at(digit) <= QLatin1Char('9')))
        ++digit;
    const int padding = length - key.size();
    if (padding > 0)
        key.insert(digit, QString(padding, QLatin1Char('0')));
    return key;
}

} // namespace

QStringList naturalPortOrder(const QStringList &names)
{
    int longest = 0;
    for (const QString &name : names)
        longest = std::max(longest, int(name.size()));

    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(size_t(names.size()));
    for (const QString &name : names)
        keyed.emplace_back(naturalKey(name, longest), name);
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) {
        return a.first.compare(b.first, Qt::CaseInsensitive) < 0;
    });

    QStringList sorted;
    sorted.reserve(names.size());
    for (const auto &entry : keyed)
        sorted.append(entry.second);
    return sorted;
}

PortScanState &portScanState()
{
    static PortScanState state;
    return state;
}

} // namespace qv
