#include "serial/PortOrder.h"

#include <QDir>

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

QStringList portDisplayNames(const QStringList &ports, const QString &virtualFolder)
{
    const QString folder = QDir::cleanPath(virtualFolder) + QLatin1Char('/');
    QStringList shown;
    shown.reserve(ports.size());
    for (const QString &port : ports) {
        const QString name = port.mid(folder.size());
        const bool virtualEntry = port.startsWith(folder) && !name.isEmpty() && !name.contains(QLatin1Char('/'));
        shown.append(virtualEntry ? name : port);
    }
    for (int i = 0; i < shown.size(); ++i) {
        if (shown.at(i) == ports.at(i))
            continue;
        for (int j = 0; j < shown.size(); ++j) {
            if (j != i && shown.at(j).compare(shown.at(i), Qt::CaseInsensitive) == 0) {
                shown[i] = ports.at(i);
                break;
            }
        }
    }
    return shown;
}

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
