// The art compiler's model: pixel fonts read from .font files and bitmaps
// described in .art files, rendered into images.
#pragma once

#include <QHash>
#include <QImage>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <stdexcept>

namespace art {

struct ArtError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Splits a line into words; a "quoted text" is one word, returned with a
// leading \x01 mark and without its quotes (\" and \\ escape).
QStringList splitWords(const QString &line, const QString &where);

// One glyph: a picture `rows` placed `top` rows below the cell's top.
struct Glyph {
    int width = 0;
    int top = 0;
    QStringList rows;
};

struct Font {
    QString name;
    int height = 8;
    int spacing = 1;
    QHash<uint, Glyph> glyphs;   // by code point

    const Glyph &glyph(uint ch, const QString &where) const;
    int textWidth(const QString &text, const QString &where) const;
};

// A bitmap with palette characters: '.' paper, '#' ink, others as declared.
class Canvas {
public:
    Canvas(int w, int h);
    int width() const { return m_w; }
    int height() const { return m_h; }
    void set(int x, int y, char c);
    char at(int x, int y) const;
    void fill(int x, int y, int w, int h, char c);
    void invert(int x, int y, int w, int h);
    void line(int x1, int y1, int x2, int y2, char c);
    // Draws the glyphs of `text`; `rotate` turns it 90 degrees anticlockwise
    // (the text then runs upwards from (x, y), its glyph tops facing left).
    int text(const Font &f, int x, int y, const QString &text, char ink, bool rotate,
             const QString &where);

private:
    int m_w, m_h;
    QByteArray m_px;
};

struct Bitmap {
    QString name;
    Canvas canvas;
    QMap<char, QRgb> palette;   // '.' and '#' at least
    QImage toImage() const;     // 1 bit per pixel when only '.' and '#' are used
};

class ArtBook {
public:
    void readFont(const QString &path);
    void readArt(const QString &path);
    const QVector<Bitmap> &bitmaps() const { return m_bitmaps; }

    // A file being read, and the line it is at.
    struct Source {
        QString path;
        QStringList lines;
        int pos = 0;
        QString where() const { return QString("%1:%2").arg(path).arg(pos + 1); }
    };

private:
    void runBitmap(Source &src, const QStringList &header);
    const Font &font(const QString &name, const QString &where) const;

    QHash<QString, Font> m_fonts;
    QHash<QString, QStringList> m_pictures;
    QVector<Bitmap> m_bitmaps;
};

} // namespace art
