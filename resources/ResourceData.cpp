#include "qvres/ResourceData.h"

#include <QHash>

namespace qv::res {

const Entry *find(const QString &name)
{
    static const QHash<QString, const Entry *> byName = [] {
        QHash<QString, const Entry *> h;
        for (int i = 0; i < detail::kEntryCount; ++i)
            h.insert(QString::fromLatin1(detail::kEntries[i].name), &detail::kEntries[i]);
        return h;
    }();
    return byName.value(name, nullptr);
}

QImage image(const QString &name)
{
    // Decoded once per name; images are implicitly shared, so copies are cheap.
    static QHash<QString, QImage> cache;
    auto it = cache.constFind(name);
    if (it != cache.constEnd())
        return *it;
    QImage img;
    if (const Entry *e = find(name))
        img = QImage::fromData(e->png, static_cast<int>(e->size), "PNG");
    cache.insert(name, img);
    return img;
}

QStringList names()
{
    QStringList out;
    for (int i = 0; i < detail::kEntryCount; ++i)
        out << QString::fromLatin1(detail::kEntries[i].name);
    return out;
}

} // namespace qv::res
