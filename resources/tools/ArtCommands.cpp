// The drawing commands of a bitmap description (see resources/README.md).
#include "ArtModel.h"

#include <QRegularExpression>

namespace art {

namespace {

[[noreturn]] void fail(const QString &where, const QString &what)
{
    throw ArtError((where + ": " + what).toStdString());
}

QString text(const QString &w, const QString &where)
{
    if (!w.startsWith(QChar(1)))
        fail(where, "quoted text expected, got '" + w + "'");
    return w.mid(1);
}

int num(const QString &w, const QString &where)
{
    bool ok = false;
    const int v = w.toInt(&ok);
    if (!ok)
        fail(where, "number expected, got '" + w + "'");
    return v;
}

struct Axis {
    QStringList tags, suffixes;
};

// Options of the form key=value after the positional words.
QString option(const QStringList &w, const QString &key, const QString &dflt = QString())
{
    for (const QString &s : w)
        if (s.startsWith(key + "="))
            return s.mid(key.size() + 1);
    return dflt;
}

bool flag(const QStringList &w, const QString &name) { return w.contains(name); }

} // namespace

void ArtBook::runBitmap(Source &src, const QStringList &header)
{
    const QString where0 = src.where();
    if (header.size() < 3)
        fail(where0, "bitmap NAME WxH [lang]");
    static const QRegularExpression sizeRe("^(\\d+)x(\\d+)$");
    const auto m = sizeRe.match(header[2]);
    if (!m.hasMatch())
        fail(where0, "size WxH expected");
    const int width = m.captured(1).toInt(), height = m.captured(2).toInt();

    QVector<Axis> axes;
    if (header.contains("lang"))
        axes << Axis{{"pl", "en"}, {"_PL", "_EN"}};
    QMap<char, QRgb> palette{{'.', qRgb(255, 255, 255)}, {'#', qRgb(0, 0, 0)}};

    // The body: everything up to a line "end".
    struct Line { QString text; QString where; };
    QVector<Line> body;
    for (; src.pos < src.lines.size(); ++src.pos) {
        const QString t = src.lines[src.pos].trimmed();
        if (t == "end")
            break;
        if (t.isEmpty() || t.startsWith(';'))
            continue;
        if (t.startsWith("axis ")) {
            Axis a;
            for (const QString &p : t.mid(5).split(' ', Qt::SkipEmptyParts)) {
                const int eq = p.indexOf('=');
                if (eq < 1)
                    fail(src.where(), "axis tag=SUFFIX ...");
                a.tags << p.left(eq);
                a.suffixes << p.mid(eq + 1);
            }
            axes << a;
        } else if (t.startsWith("palette ")) {
            for (const QString &p : t.mid(8).split(' ', Qt::SkipEmptyParts)) {
                if (p.size() != 9 || p[1] != '=' || p[2] != '#')
                    fail(src.where(), "palette C=#rrggbb ...");
                palette[p[0].toLatin1()] = QColor(p.mid(2)).rgb();
            }
        } else {
            body << Line{t, src.where()};
        }
    }
    if (src.pos >= src.lines.size())
        fail(where0, "bitmap without 'end'");
    ++src.pos;

    // One bitmap per combination of the axes' values.
    int combos = 1;
    for (const Axis &a : axes)
        combos *= a.tags.size();
    for (int c = 0; c < combos; ++c) {
        QString name = header[1];
        QStringList tags;
        for (int k = 0, rest = c; k < axes.size(); ++k) {
            const int idx = rest % axes[k].tags.size();
            rest /= axes[k].tags.size();
            name += axes[k].suffixes[idx];
            tags << axes[k].tags[idx];
        }
        Bitmap bmp{name, Canvas(width, height), palette};
        Canvas &cv = bmp.canvas;
        int gridW = 0, gridH = 0, gridX = 0, gridY = 0;
        bool gridInv = false, gridFrac = false, gridLeft = false;

        for (int li = 0; li < body.size(); ++li) {
            const QString &where = body[li].where;
            QStringList w = splitWords(body[li].text, where);
            bool active = true;
            while (!w.isEmpty() && w[0].startsWith('@')) {
                const bool neg = w[0].startsWith("@!");
                const QString tag = w[0].mid(neg ? 2 : 1);
                active = active && (tags.contains(tag) != neg);
                w.removeFirst();
            }
            if (w.isEmpty())
                fail(where, "command expected");
            const QString cmd = w[0];
            auto n = [&](int i) { if (i >= w.size()) fail(where, "missing argument"); return num(w[i], where); };
            auto ink = [&]() { const QString s = option(w, "ink", "#"); return s.isEmpty() ? '#' : s[0].toLatin1(); };

            if (cmd == "pic") {
                // Rows up to "endpic"; '_' leaves a pixel as it is.
                const int x = n(1), y = n(2);
                int r = 0;
                for (++li; li < body.size() && body[li].text != "endpic"; ++li, ++r)
                    if (active)
                        for (int i = 0; i < body[li].text.size(); ++i)
                            cv.set(x + i, y + r, body[li].text[i].toLatin1());
                if (li >= body.size())
                    fail(where, "pic without 'endpic'");
                continue;
            }
            if (!active)
                continue;
            if (cmd == "text" || cmd == "ctext" || cmd == "rtext" || cmd == "vtext") {
                // text X Y FONT "a|b"; ctext X Y W FONT ...; rtext XEND Y FONT ...
                const int argFont = cmd == "ctext" ? 4 : 3;
                if (w.size() <= argFont + 1)
                    fail(where, "missing argument");
                const Font &f = font(w[argFont], where);
                const QStringList lines = text(w[argFont + 1], where).split('|');
                const int lh = num(option(w, "lh", QString::number(f.height)), where);
                for (int k = 0; k < lines.size(); ++k) {
                    const int tw = f.textWidth(lines[k], where);
                    int x = n(1);
                    if (cmd == "ctext") x += (n(3) - tw) / 2;
                    if (cmd == "rtext") x -= tw;
                    if (cmd == "vtext") {
                        // h=H: centred on the H rows below Y
                        const int h = num(option(w, "h", "0"), where);
                        const int bottom = h > 0 ? n(2) + (h + tw) / 2 : n(2);
                        cv.text(f, x + k * lh, bottom, lines[k], ink(), true, where);
                    } else {
                        cv.text(f, x, n(2) + k * lh, lines[k], ink(), false, where);
                    }
                }
            } else if (cmd == "fill") {
                cv.fill(n(1), n(2), n(3), n(4), ink());
            } else if (cmd == "clear") {
                cv.fill(n(1), n(2), n(3), n(4), '.');
            } else if (cmd == "invert") {
                cv.invert(n(1), n(2), n(3), n(4));
            } else if (cmd == "rect") {
                const int x = n(1), y = n(2), rw = n(3), rh = n(4);
                cv.fill(x, y, rw, 1, ink());
                cv.fill(x, y + rh - 1, rw, 1, ink());
                cv.fill(x, y, 1, rh, ink());
                cv.fill(x + rw - 1, y, 1, rh, ink());
            } else if (cmd == "hline") {
                cv.fill(n(1), n(2), n(3), 1, ink());
            } else if (cmd == "vline") {
                cv.fill(n(1), n(2), 1, n(3), ink());
            } else if (cmd == "line") {
                cv.line(n(1), n(2), n(3), n(4), ink());
            } else if (cmd == "use") {
                if (w.size() < 4 || !m_pictures.contains(w[1]))
                    fail(where, "use PICTURE X Y (picture unknown?)");
                const QStringList &rows = m_pictures[w[1]];
                const int x = n(2), y = n(3);
                const char over = option(w, "ink", "").isEmpty() ? 0 : ink();
                for (int r = 0; r < rows.size(); ++r)
                    for (int i = 0; i < rows[r].size(); ++i) {
                        char c = rows[r][i].toLatin1();
                        if (over) {
                            // recoloured: only the ink of the picture is drawn
                            if (c != '#')
                                continue;
                            c = over;
                        }
                        cv.set(x + i, y + r, c);
                    }
            } else if (cmd == "grid") {
                // grid CW CH [X0 Y0] [inv] [frac] [left]: the cells of the
                // following cellrows.
                gridW = n(1);
                gridH = n(2);
                const bool origin = w.size() > 4 && !w[3].front().isLetter();
                gridX = origin ? n(3) : 0;
                gridY = origin ? n(4) : 0;
                gridInv = flag(w, "inv");
                gridFrac = flag(w, "frac");
                gridLeft = flag(w, "left");
            } else if (cmd == "cellrow") {
                // cellrow ROW FONT "line|line" ...: one text per column,
                // centred (or left-aligned); "frac" rules a line between two.
                if (gridW <= 0)
                    fail(where, "cellrow before grid");
                const int row = n(1);
                const Font &f = font(w[2], where);
                int col = 0;
                for (const QString &cell : w.mid(3)) {
                    const int x0 = gridX + col * gridW, y0 = gridY + row * gridH;
                    ++col;
                    const QStringList lines = text(cell, where).split('|');
                    if (lines.size() == 1 && lines[0].isEmpty())
                        continue;
                    const char c = gridInv ? '.' : '#';
                    if (gridInv)
                        cv.fill(x0, y0, gridW - 1, gridH, '#');
                    const int gap = gridFrac ? 2 : 1;
                    const int blockH = lines.size() * f.height + (lines.size() - 1) * gap;
                    int y = y0 + (gridH - blockH + 1) / 2;
                    int widest = 0;
                    for (const QString &l : lines)
                        widest = std::max(widest, f.textWidth(l, where));
                    const int left = x0 + (gridLeft ? 1 : (gridW - 1 - widest + 1) / 2);
                    for (int k = 0; k < lines.size(); ++k) {
                        const int tw = f.textWidth(lines[k], where);
                        cv.text(f, left + (widest - tw) / 2, y, lines[k], c, false, where);
                        if (gridFrac && k + 1 < lines.size())
                            cv.fill(left, y + f.height, widest, 1, c);
                        y += f.height + gap;
                    }
                }
            } else if (cmd == "strip") {
                // strip X Y CW FONT "chars": one glyph per cell, centred in
                // the cell less its last column.
                const int x0 = n(1), y = n(2), cw = n(3);
                const Font &f = font(w[4], where);
                int col = 0;
                for (uint ch : text(w[5], where).toUcs4()) {
                    const QString s = QString::fromUcs4(reinterpret_cast<const char32_t *>(&ch), 1);
                    const int gw = f.textWidth(s, where);
                    const int room = flag(w, "left") ? gw : cw - 1;
                    cv.text(f, x0 + col * cw + (room - gw) / 2, y, s, ink(), false, where);
                    ++col;
                }
            } else {
                fail(where, "unknown command '" + cmd + "'");
            }
        }
        m_bitmaps << bmp;
    }
}

} // namespace art
