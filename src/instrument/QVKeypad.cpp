#include "instrument/QVKeypad.h"

#include "qvres/ResourceData.h"

#include <QEnterEvent>

namespace qv {

namespace {

struct KeyFace {
    const char *glyph;
    bool labelled;   // the face carries words: one picture per language
    QSize size;
};

// In the order of MeterKey.
const KeyFace kFaces[QVKeypad::KeyCount] = {
    {"QVKEYMODE", true, {45, 36}},  {"QVKEYSET", true, {45, 36}},   {"QVKEYMEMO", true, {45, 36}},
    {"QVKEYESC", true, {45, 36}},   {"QVKEYREFRESH", false, {33, 32}}, {"QVKEYPOWER", false, {45, 36}},
    {"QVKEYUP", false, {50, 40}},   {"QVKEYDOWN", false, {50, 40}}, {"QVKEYMEAS", false, {50, 40}},
    {"QVKEYENTER", false, {50, 40}},
};

// The LCD frame: its left edge, and the first row below it.
constexpr int LcdFrameLeft = 53;
constexpr int ArrowRow0 = 24 + 168 + 8;
constexpr int ArrowRowStep = 48;
constexpr int ArrowColumnStep = 58;
constexpr int ArrowBlockWidth = 108;
constexpr int LeftColumnWidth = 45;

} // namespace

QVKeypad::QVKeypad(QWidget *parent, uint8_t language)
{
    for (int i = 0; i < KeyCount; ++i) {
        const KeyFace &face = kFaces[i];
        QString name = QLatin1String(face.glyph);
        if (face.labelled)
            name += language == 0 ? QStringLiteral("_PL") : QStringLiteral("_EN");
        const QImage glyph = res::image(name);
        auto *b = new TQVBitBtn(parent);
        b->setObjectName(QLatin1String(face.glyph + 2));   // "KEYMODE", ...
        b->setIcon(QIcon(QPixmap::fromImage(glyph)));
        b->setIconSize(glyph.size());
        b->resize(face.size);
        b->setFocusPolicy(Qt::NoFocus);
        const auto key = MeterKey(i);
        QObject::connect(b, &QPushButton::clicked, b, [this, key] {
            if (onPress)
                onPress(key);
        });
        b->OnMouseEnter = [this, key] {
            if (onHover)
                onHover(key, true);
        };
        b->OnMouseLeave = [this, key] {
            if (onHover)
                onHover(key, false);
        };
        m_keys[size_t(i)] = b;
    }
}

void QVKeypad::layOut(int frameLeft)
{
    for (int i = 0; i < 4; ++i)
        m_keys[size_t(i)]->move(0, 24 + 44 * i);
    const int left = LcdFrameLeft + (frameLeft - LcdFrameLeft - ArrowBlockWidth) / 2;
    auto centreLeft = [](QWidget *w, int rowTop, int rowHeight) {
        w->move((LeftColumnWidth - w->width()) / 2, rowTop + (rowHeight - w->height()) / 2);
    };
    centreLeft(button(MeterKey::Refresh), ArrowRow0, 40);
    centreLeft(button(MeterKey::Power), ArrowRow0 + ArrowRowStep, 40);
    button(MeterKey::Up)->move(left, ArrowRow0);
    button(MeterKey::Down)->move(left, ArrowRow0 + ArrowRowStep);
    button(MeterKey::Meas)->move(left + ArrowColumnStep, ArrowRow0);
    button(MeterKey::Enter)->move(left + ArrowColumnStep, ArrowRow0 + ArrowRowStep);
}

} // namespace qv
