#include "dialogs/TIntEdit2.h"

#include "dialogs/IntEditText.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

#include "qvres/ResourceData.h"

#include <algorithm>
#include <limits>

namespace qv {

namespace {

struct ArrowGlyphs {
    QPixmap normal;
    QPixmap disabled;
};

// The arrow resources hold two glyphs side by side, normal and disabled, on
// a white background that is left out.
ArrowGlyphs loadGlyphs(const QString &name)
{
    QImage image = res::image(name);
    if (image.isNull())
        return {};
    image = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if ((line[x] & 0xffffff) == 0xffffff)
                line[x] = 0;
    }
    const int half = image.width() / 2;
    return {QPixmap::fromImage(image.copy(0, 0, half, image.height())),
            QPixmap::fromImage(image.copy(half, 0, half, image.height()))};
}

} // namespace

// An arrow button that reports pressing, releasing and the pointer's coming
// and going while held; stepping and repeating are the control's business.
class TIntEdit2::ArrowButton : public QAbstractButton {
public:
    ArrowButton(bool up, QWidget *parent) : QAbstractButton(parent), m_up(up)
    {
        setFocusPolicy(Qt::NoFocus);
        setMouseTracking(true);
    }

    void setGlyphs(ArrowGlyphs glyphs)
    {
        m_glyphs = std::move(glyphs);
        update();
    }

    std::function<void()> onPress;
    std::function<void()> onRelease;
    std::function<void(bool over)> onHover;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        QStyleOptionButton option;
        option.initFrom(this);
        option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
        style()->drawControl(QStyle::CE_PushButtonBevel, &option, &p, this);

        const int shift = isDown() ? 1 : 0;
        const QPixmap &glyph = isEnabled() ? m_glyphs.normal : m_glyphs.disabled;
        if (!glyph.isNull()) {
            const QPoint at((width() - glyph.width()) / 2 + shift, (height() - glyph.height()) / 2 + shift);
            p.drawPixmap(at, glyph);
            return;
        }
        // Without the resources: a plain triangle.
        const QPointF c(width() / 2.0 + shift, height() / 2.0 + shift);
        const qreal w = std::max(2.0, width() / 4.0);
        const qreal dir = m_up ? -1 : 1;
        const QPointF tip(c.x(), c.y() + dir * w / 2);
        const QPointF a(c.x() - w, c.y() - dir * w / 2), b(c.x() + w, c.y() - dir * w / 2);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled,
                                   QPalette::ButtonText));
        p.drawPolygon(QPolygonF({a, b, tip}));
    }

    void mousePressEvent(QMouseEvent *e) override
    {
        QAbstractButton::mousePressEvent(e);
        if (e->button() == Qt::LeftButton && isDown() && onPress)
            onPress();
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        QAbstractButton::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton) {
            setDown(false);
            if (onRelease)
                onRelease();
        }
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        QAbstractButton::mouseMoveEvent(e);
        if ((e->buttons() & Qt::LeftButton) && onHover)
            onHover(rect().contains(e->position().toPoint()));
    }
    void enterEvent(QEnterEvent *e) override
    {
        QAbstractButton::enterEvent(e);
        if (onHover)
            onHover(true);
    }
    void leaveEvent(QEvent *e) override
    {
        QAbstractButton::leaveEvent(e);
        if (onHover)
            onHover(false);
    }

private:
    bool m_up;
    ArrowGlyphs m_glyphs;
};

TIntEdit2::TIntEdit2(QWidget *parent, TimerFactory &timers)
    : QWidget(parent),
      m_edit(new QLineEdit(this)),
      m_down(new ArrowButton(false, this)),
      m_up(new ArrowButton(true, this)),
      m_repeat(timers.create())
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSize(8);
    font.setBold(true);
    m_edit->setFont(font);
    // A flat single border, no 3-D look.
    m_edit->setStyleSheet(QStringLiteral("QLineEdit { border: 1px solid palette(window-text);"
                                         " padding: 0px; }"));
    m_edit->setText(m_entryText);
    m_edit->installEventFilter(this);
    m_edit->setMouseTracking(true);
    connect(m_edit, &QLineEdit::textChanged, this, [this] { textEdited(); });

    // Larger glyphs on screens of 109 pixels per inch and more.
    const bool large = logicalDpiY() >= 109;
    m_down->setGlyphs(loadGlyphs(large ? "KOLBTNARROWLARGEDOWN" : "KOLBTNARROWSMALLDOWN"));
    m_up->setGlyphs(loadGlyphs(large ? "KOLBTNARROWLARGEUP" : "KOLBTNARROWSMALLUP"));
    for (ArrowButton *b : {m_down, m_up}) {
        const Arrow arrow = b == m_up ? Arrow::Up : Arrow::Down;
        b->onPress = [this, arrow] { arrowPressed(arrow); };
        b->onRelease = [this] { arrowReleased(); };
        b->onHover = [this, arrow](bool over) { pointerOver(arrow, over); };
        b->installEventFilter(this);
    }

    m_repeat->setInterval(kRepeatDelay);
    m_repeat->onTimeout = [this] { repeatTick(); };
    setFocusProxy(m_edit);
    layOut();
}

TIntEdit2::~TIntEdit2() = default;

QAbstractButton *TIntEdit2::downButton() const { return m_down; }
QAbstractButton *TIntEdit2::upButton() const { return m_up; }

void TIntEdit2::setValue(int32_t value)
{
    const int32_t v = snapIntValue(value, m_min, m_max, m_interval);
    if (v == m_value && m_edit->text() == m_entryText)
        return;
    m_edit->setText(QString::number(v));
    if (v != m_value) {
        m_value = v;
        if (OnChange)
            OnChange();
    }
}

void TIntEdit2::setMinVal(int32_t value)
{
    value = std::min(value, m_max);
    if (value == m_min)
        return;
    m_min = value;
    if (m_min > m_value)
        setValue(m_value);
}

void TIntEdit2::setMaxVal(int32_t value)
{
    value = std::max(value, m_min);
    if (value == m_max)
        return;
    m_max = value;
    if (m_max < m_value)
        setValue(m_value);
}

void TIntEdit2::setValInterval(uint16_t step)
{
    if (step == 0)
        return;
    m_interval = step;
    setValue(m_value);
}

void TIntEdit2::setMaxLength(int length)
{
    m_maxLength = std::max(0, length);
    // The edit's own default stands for "no limit".
    m_edit->setMaxLength(m_maxLength > 0 ? m_maxLength : 32767);
}

void TIntEdit2::setWidthDigitNumber(int digits)
{
    m_digits = std::clamp(digits, 0, 10);
    layOut();
}

void TIntEdit2::setWidth(int width)
{
    m_width = width;
    layOut();
}

void TIntEdit2::commit()
{
    if (m_edit->text() == m_entryText)
        return;
    const CommittedInt c = commitIntText(m_edit->text());
    m_edit->setText(c.text);
    if (!c.value) {
        m_edit->setText(m_entryText);
        return;
    }
    setValue(std::clamp(*c.value, m_min, m_max));
    m_entryText = m_edit->text();
}

void TIntEdit2::step(Arrow arrow)
{
    if (arrow == Arrow::Down && m_value != std::numeric_limits<int32_t>::min())
        setValue(int32_t(std::max<int64_t>(int64_t(m_value) - m_interval, INT32_MIN)));
    else if (arrow == Arrow::Up && m_value != std::numeric_limits<int32_t>::max())
        setValue(int32_t(std::min<int64_t>(int64_t(m_value) + m_interval, INT32_MAX)));
}

void TIntEdit2::arrowPressed(Arrow arrow)
{
    if (!isEnabled())
        return;
    m_pressed = arrow;
    m_under = arrow;
    // The timer runs before the step: a handler of OnChange may disable us,
    // which stops it again.
    m_repeat->setInterval(kRepeatDelay);
    m_repeat->setEnabled(true);
    step(arrow);
}

void TIntEdit2::arrowReleased()
{
    m_repeat->setEnabled(false);
    m_repeat->setInterval(kRepeatDelay);
    m_pressed = Arrow::None;
}

void TIntEdit2::pointerOver(Arrow arrow, bool over)
{
    if (over)
        m_under = arrow;
    else if (m_under == arrow)
        m_under = Arrow::None;
    // Off the held button the repeat pauses; back on it, it goes on.
    if (m_pressed != Arrow::None)
        m_repeat->setEnabled(m_under == m_pressed);
}

void TIntEdit2::repeatTick()
{
    if (m_pressed == Arrow::None || m_under != m_pressed)
        return;
    if (m_repeat->interval() != kRepeatInterval)
        m_repeat->setInterval(kRepeatInterval);
    step(m_pressed);
}

void TIntEdit2::textEdited()
{
    if (m_filtering)
        return;
    const QString text = m_edit->text();
    int cursor = m_edit->cursorPosition();
    const QString kept = filterIntText(text, &cursor);
    if (kept == text)
        return;
    m_filtering = true;
    m_edit->setText(kept);
    m_edit->setCursorPosition(cursor);
    m_filtering = false;
}

// Enter and Esc go on to the window as well, so that a dialog's default and
// cancel buttons still answer them, with the value already taken.
bool TIntEdit2::editKey(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        commit();
        m_edit->selectAll();
        return false;
    case Qt::Key_Escape:
        m_edit->setText(m_entryText);
        commit();
        m_edit->selectAll();
        return false;
    case Qt::Key_Up:
    case Qt::Key_Down:
        commit();
        if (isEnabled())
            step(key == Qt::Key_Up ? Arrow::Up : Arrow::Down);
        return true;
    default:
        return false;
    }
}

bool TIntEdit2::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == m_edit)
            return editKey(static_cast<QKeyEvent *>(event)->key());
        break;
    case QEvent::FocusIn:
        if (watched == m_edit)
            m_entryText = m_edit->text();
        break;
    case QEvent::FocusOut:
        if (watched == m_edit)
            commit();
        break;
    case QEvent::MouseMove:
        if (OnMouseMove) {
            auto *e = static_cast<QMouseEvent *>(event);
            auto *w = static_cast<QWidget *>(watched);
            OnMouseMove(e->modifiers(), w->mapTo(this, e->position().toPoint()));
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TIntEdit2::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        arrowReleased();
}

void TIntEdit2::layOut()
{
    const QFontMetrics fm(m_edit->font());
    const int height = fm.height() + 4;
    const int button = height % 2 == 0 ? height + 1 : height;
    const int total = m_digits > 0
                          ? m_digits * (fm.horizontalAdvance(QLatin1Char('0')) - 1) + 4 + 2 * button + 1
                          : m_width;
    // The up button overlaps the down button by one pixel.
    const int editWidth = std::max(0, total - (2 * button - 1));
    m_edit->setGeometry(0, 0, editWidth, height);
    m_down->setGeometry(editWidth, 0, button, height);
    m_up->setGeometry(editWidth + button - 1, 0, button, height);
    setFixedSize(editWidth + 2 * button - 1, height);
}

} // namespace qv
