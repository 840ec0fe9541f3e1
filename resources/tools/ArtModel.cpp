#include "ArtModel.h"

#include <QFile>
#include <QTextStream>

#include <functional>

namespace art {

namespace {

[[noreturn]] void fail(const QString &where, const QString &what)
{
    throw ArtError((where + ": " + what).toStdString());
}

} // namespace

QStringList splitWords(const QString &line, const QString &where)
{
    QStringList out;
    int i = 0;
    const int n = line.size();
    while (i < n) {
        if (line[i].isSpace()) { ++i; continue; }
        QString w;
        if (line[i] == '"') {
            ++i;
            bool closed = false;
            while (i < n) {
                QChar c = line[i++];
                if (c == '\\' && i < n) { w += line[i++]; continue; }
                if (c == '"') { closed = true; break; }
                w += c;
            }
            if (!closed)
                fail(where, "unterminated text");
            out << QStringLiteral("\x01") + w;   // marks a quoted word
            continue;
        }
        while (i < n && !line[i].isSpace())
            w += line[i++];
        out << w;
    }
    return out;
}

namespace {

bool isQuoted(const QString &w) { return w.startsWith(QChar(1)); }
QString unquote(const QString &w) { return isQuoted(w) ? w.mid(1) : w; }

int toInt(const QString &w, const QString &where)
{
    bool ok = false;
    int v = w.toInt(&ok);
    if (!ok)
        fail(where, "number expected, got '" + w + "'");
    return v;
}

QStringList readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        throw ArtError(("cannot read " + path).toStdString());
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    QStringList lines;
    while (!in.atEnd())
        lines << in.readLine();
    return lines;
}

bool isComment(const QString &t) { return t.isEmpty() || t.startsWith(';'); }

} // namespace

// --- Font --------------------------------------------------------------------

const Glyph &Font::glyph(uint ch, const QString &where) const
{
    auto it = glyphs.constFind(ch);
    if (it == glyphs.constEnd())
        fail(where, QString("font '%1' has no glyph for '%2' (U+%3)")
                        .arg(name, QString::fromUcs4(reinterpret_cast<const char32_t *>(&ch), 1))
                        .arg(ch, 4, 16, QChar('0')));
    return *it;
}

int Font::textWidth(const QString &text, const QString &where) const
{
    int w = 0;
    const auto cps = text.toUcs4();
    for (uint c : cps)
        w += glyph(c, where).width + spacing;
    return cps.isEmpty() ? 0 : w - spacing;
}

// --- Canvas --------------------------------------------------------------------

Canvas::Canvas(int w, int h) : m_w(w), m_h(h), m_px(w * h, '.') {}

void Canvas::set(int x, int y, char c)
{
    if (x >= 0 && y >= 0 && x < m_w && y < m_h && c != '_')
        m_px[y * m_w + x] = c;
}

char Canvas::at(int x, int y) const
{
    return (x >= 0 && y >= 0 && x < m_w && y < m_h) ? m_px[y * m_w + x] : '.';
}

void Canvas::fill(int x, int y, int w, int h, char c)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            set(i, j, c);
}

void Canvas::invert(int x, int y, int w, int h)
{
    for (int j = y; j < y + h; ++j)
        for (int i = x; i < x + w; ++i)
            set(i, j, at(i, j) == '.' ? '#' : '.');
}

void Canvas::line(int x1, int y1, int x2, int y2, char c)
{
    const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        set(x1, y1, c);
        if (x1 == x2 && y1 == y2)
            break;
        const int e2 = 2 * err;
        if (e2 >= dy) { err += dy; x1 += sx; }
        if (e2 <= dx) { err += dx; y1 += sy; }
    }
}

int Canvas::text(const Font &f, int x, int y, const QString &text, char ink, bool rotate,
                 const QString &where)
{
    int pen = 0;
    for (uint c : text.toUcs4()) {
        const Glyph &g = f.glyph(c, where);
        for (int r = 0; r < g.rows.size(); ++r)
            for (int i = 0; i < g.width; ++i) {
                if (g.rows[r][i] != '#')
                    continue;
                const int gx = pen + i, gy = g.top + r;
                if (rotate)
                    set(x + gy, y - 1 - gx, ink);
                else
                    set(x + gx, y + gy, ink);
            }
        pen += g.width + f.spacing;
    }
    return pen;
}

QImage Bitmap::toImage() const
{
    QVector<char> used;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (!used.contains(canvas.at(x, y)))
                used << canvas.at(x, y);
    const bool mono = std::all_of(used.begin(), used.end(), [](char c) { return c == '.' || c == '#'; });
    QImage img(canvas.width(), canvas.height(), mono ? QImage::Format_Mono : QImage::Format_Indexed8);
    QVector<char> order{'.', '#'};
    if (!mono)
        for (char c : palette.keys())
            if (!order.contains(c))
                order << c;
    QVector<QRgb> table;
    for (char c : order)
        table << palette.value(c, c == '#' ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    img.setColorTable(table);
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            img.setPixel(x, y, order.indexOf(canvas.at(x, y)));
    return img;
}

// --- reading ---------------------------------------------------------------------

void ArtBook::readFont(const QString &path)
{
    const QStringList lines = readLines(path);
    Font *font = nullptr;
    for (int i = 0; i < lines.size(); ++i) {
        const QString where = QString("%1:%2").arg(path).arg(i + 1);
        const QString t = lines[i].trimmed();
        if (isComment(t))
            continue;
        const QStringList w = splitWords(t, where);
        if (w[0] == "font") {
            if (w.size() < 3)
                fail(where, "font NAME HEIGHT [spacing=N]");
            font = &m_fonts[w[1]];
            font->name = w[1];
            font->height = toInt(w[2], where);
            for (const QString &opt : w.mid(3))
                if (opt.startsWith("spacing="))
                    font->spacing = toInt(opt.mid(8), where);
            continue;
        }
        if (w[0] != "chars" || !font)
            fail(where, "expected 'font' or 'chars'");
        // chars c1 c2 ... [top=N]: the following rows hold one picture per
        // character, separated by blanks, until an empty line.
        int top = 0;
        QVector<uint> chars;
        for (const QString &tok : w.mid(1)) {
            if (tok.startsWith("top=") && tok.size() > 4)
                top = toInt(tok.mid(4), where);
            else if (tok == "sp")
                chars << ' ';
            else {
                const auto cps = unquote(tok).toUcs4();
                if (cps.size() != 1)
                    fail(where, "one character per word: '" + tok + "'");
                chars << cps[0];
            }
        }
        QVector<Glyph> glyphs(chars.size());
        int j = i + 1;
        for (; j < lines.size() && !lines[j].trimmed().isEmpty(); ++j) {
            const QStringList parts = lines[j].trimmed().split(' ', Qt::SkipEmptyParts);
            if (parts.size() != chars.size())
                fail(QString("%1:%2").arg(path).arg(j + 1),
                     QString("%1 pictures expected, %2 found").arg(chars.size()).arg(parts.size()));
            for (int k = 0; k < parts.size(); ++k) {
                if (!glyphs[k].rows.isEmpty() && parts[k].size() != glyphs[k].width)
                    fail(QString("%1:%2").arg(path).arg(j + 1), "ragged glyph rows");
                glyphs[k].width = parts[k].size();
                glyphs[k].rows << parts[k];
            }
        }
        for (int k = 0; k < chars.size(); ++k) {
            glyphs[k].top = top;
            if (glyphs[k].rows.size() + top > font->height)
                fail(where, "glyph taller than the font");
            font->glyphs.insert(chars[k], glyphs[k]);
        }
        i = j;
    }
}

const Font &ArtBook::font(const QString &name, const QString &where) const
{
    auto it = m_fonts.constFind(name);
    if (it == m_fonts.constEnd())
        fail(where, "unknown font '" + name + "'");
    return *it;
}

void ArtBook::readArt(const QString &path)
{
    Source src{path, readLines(path), 0};
    while (src.pos < src.lines.size()) {
        const QString t = src.lines[src.pos].trimmed();
        if (isComment(t)) { ++src.pos; continue; }
        const QStringList w = splitWords(t, src.where());
        if (w[0] == "picture" && w.size() == 2) {
            QStringList rows;
            for (++src.pos; src.pos < src.lines.size() && src.lines[src.pos].trimmed() != "end"; ++src.pos)
                rows << src.lines[src.pos].trimmed();
            m_pictures.insert(w[1], rows);
            ++src.pos;
        } else if (w[0] == "bitmap") {
            ++src.pos;
            runBitmap(src, w);
        } else {
            fail(src.where(), "expected 'bitmap' or 'picture'");
        }
    }
}

} // namespace art
