#include "app/GridPainter.h"

#include "history/HistoryColumns.h"

#include <QPainter>

namespace qv {

QVector<bool> RedCharacters(const QString &notes, uint8_t language)
{
    QVector<bool> red(notes.size(), false);
    const QString noProbe = language == 0 ? QStringLiteral("Brak g\u0142owicy") : QStringLiteral("No probe");
    const QString integ = language == 0 ? QStringLiteral(" Ca\u0142ka") : QStringLiteral(" Integ.");
    auto mark = [&](const QString &word, const QString &tail) {
        for (int at = notes.indexOf(word); at >= 0; at = notes.indexOf(word, at + 1)) {
            int length = word.size();
            if (!tail.isEmpty() && notes.mid(at + length, tail.size()) == tail)
                length += tail.size();
            for (int i = at; i < at + length; ++i)
                red[i] = true;
        }
    };
    mark(noProbe, {});
    mark(QStringLiteral("Under"), {});
    mark(QStringLiteral("Over"), integ);
    return red;
}

namespace {
// A frame of alternate pixels in the inverse of the background.
void dottedFrame(QPainter &p, const QRect &r, const QColor &background)
{
    const QColor inverse(255 - background.red(), 255 - background.green(), 255 - background.blue());
    p.setPen(inverse);
    for (int x = r.left(); x <= r.right(); ++x) {
        if ((x + r.top()) % 2 == 0)
            p.drawPoint(x, r.top());
        if ((x + r.bottom()) % 2 == 0)
            p.drawPoint(x, r.bottom());
    }
    for (int y = r.top(); y <= r.bottom(); ++y) {
        if ((r.left() + y) % 2 == 0)
            p.drawPoint(r.left(), y);
        if ((r.right() + y) % 2 == 0)
            p.drawPoint(r.right(), y);
    }
}
} // namespace

void PaintGridCell(QPainter &p, const QRect &rect, const CellLook &look, const QPalette &palette)
{
    p.save();
    QColor background = palette.color(QPalette::Base);
    QColor ink = palette.color(QPalette::Text);
    if (look.current) {
        background = CurrentCellColor();
        ink = Qt::black;
    } else if (look.fixed) {
        background = palette.color(QPalette::Button);
        ink = palette.color(QPalette::ButtonText);
    } else if (look.marked) {
        background = MarkedRowColor();
        ink = Qt::white;
    } else if (look.deleting) {
        background = palette.color(QPalette::Highlight);
        ink = palette.color(QPalette::HighlightedText);
    }
    p.fillRect(rect, background);

    const QRect text = rect.adjusted(2, 0, -2, 0);
    if (look.notes && !look.deleting) {
        // Character by character, warnings in red.
        const QVector<bool> red = RedCharacters(look.text, look.language);
        const QFontMetrics fm = p.fontMetrics();
        int x = text.left();
        for (int i = 0; i < look.text.size();) {
            int j = i;
            while (j < look.text.size() && red[j] == red[i])
                ++j;
            const QString run = look.text.mid(i, j - i);
            p.setPen(red[i] ? QColor(Qt::red) : ink);
            p.drawText(QRect(x, rect.top(), rect.right() - x, rect.height()), Qt::AlignLeft | Qt::AlignVCenter, run);
            x += fm.horizontalAdvance(run);
            i = j;
        }
    } else {
        Qt::Alignment align = Qt::AlignVCenter;
        if (look.header)
            align |= Qt::AlignHCenter;
        else if (RightAligned(look.column))
            align |= Qt::AlignRight;
        else
            align |= Qt::AlignLeft;
        p.setPen(ink);
        p.drawText(look.header ? rect : text, int(align), look.text);
    }

    if (look.fixed) {
        p.setPen(palette.color(QPalette::Light));
        p.drawLine(rect.topLeft(), rect.topRight());
        p.drawLine(rect.topLeft(), rect.bottomLeft());
    }
    p.setPen(Qt::black);
    if (GroupLineRight(look.column))
        p.drawLine(rect.topRight(), rect.bottomRight());
    if (GroupLineLeft(look.column))
        p.drawLine(rect.topLeft(), rect.bottomLeft());
    if (look.lastRow)
        p.drawLine(rect.bottomLeft(), rect.bottomRight());
    if (look.current)
        dottedFrame(p, rect, background);
    p.restore();
}

} // namespace qv
