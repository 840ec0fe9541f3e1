#include "instrument/Transparent.h"

namespace qv {

QPixmap withTransparentBackground(const QImage &picture)
{
    if (picture.isNull())
        return {};
    QImage a = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = a.pixel(0, 0);
    for (int y = 0; y < a.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(a.scanLine(y));
        for (int x = 0; x < a.width(); ++x)
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return QPixmap::fromImage(a);
}

} // namespace qv
