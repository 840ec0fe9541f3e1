// qvicon: the program's icon in the sizes of the desktop's icon theme, from
// the icon's pixel art. The art's paper becomes a rounded tile, each ink
// pixel a dot of its colour, as large as the size allows.
//
//   qvicon ART.png OUTDIR SIZE...   writes OUTDIR/SIZExSIZE/apps/qv7xx.png
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstdio>

namespace {

QImage drawIcon(const QImage &art, int size)
{
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    const QRgb paper = art.pixel(0, 0);
    const int margin = std::max(1, size / 16);
    const qreal tile = size - 2 * margin;
    p.setBrush(QColor(paper));
    p.drawRoundedRect(QRectF(margin, margin, tile, tile), tile / 6, tile / 6);

    const int dot = std::max(1, (size - 2 * margin) / std::max(art.width(), art.height()));
    const int left = (size - dot * art.width()) / 2, top = (size - dot * art.height()) / 2;
    // Large dots get a gap between them, like the segments of an LCD.
    const qreal gap = dot >= 4 ? dot / 8.0 : 0;
    for (int y = 0; y < art.height(); ++y) {
        for (int x = 0; x < art.width(); ++x) {
            if (art.pixel(x, y) == paper)
                continue;
            p.setBrush(QColor(art.pixel(x, y)));
            const QRectF cell(left + x * dot + gap, top + y * dot + gap, dot - 2 * gap, dot - 2 * gap);
            p.drawRoundedRect(cell, gap * 2, gap * 2);
        }
    }
    return icon;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: qvicon ART.png OUTDIR SIZE...\n");
        return 2;
    }
    const QImage art = QImage(args[0]).convertToFormat(QImage::Format_RGB32);
    if (art.isNull()) {
        std::fprintf(stderr, "qvicon: cannot read %s\n", qPrintable(args[0]));
        return 1;
    }
    for (const QString &s : args.mid(2)) {
        const int size = s.toInt();
        const QString dir = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        if (size < 16 || !QDir().mkpath(dir) || !drawIcon(art, size).save(dir + QStringLiteral("/qv7xx.png"))) {
            std::fprintf(stderr, "qvicon: cannot write the %s pixel icon\n", qPrintable(s));
            return 1;
        }
    }
    return 0;
}
