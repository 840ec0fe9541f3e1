#include "instrument/QVStatusBar.h"

#include "instrument/MeterCore.h"
#include "instrument/Transparent.h"
#include "qvres/ResourceData.h"
#include "serial/TComm32VN.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>

#include <algorithm>

namespace qv {

namespace {

constexpr int HintCellWidth = 31;
constexpr int HintCellHeight = 16;
constexpr int MinStatusWidth = 157;
constexpr int PortIconWidth = 18;

QLabel *panel(QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setFrameStyle(QFrame::Panel | QFrame::Raised);
    l->setLineWidth(1);
    return l;
}

// A small serial connector: a trapezoid with two rows of pins.
QPixmap serialPortPicture()
{
    QImage img(16, 12, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setPen(QColor(0, 0, 0x80));
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    const QPoint shell[] = {{0, 2}, {15, 2}, {13, 9}, {2, 9}};
    p.drawPolygon(shell, 4);
    for (int i = 0; i < 5; ++i)
        p.drawPoint(3 + 2 * i, 4);
    for (int i = 0; i < 4; ++i)
        p.drawPoint(4 + 2 * i, 7);
    p.end();
    return QPixmap::fromImage(img);
}

void setTextColour(QLabel *label, QRgb colour)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor::fromRgb(colour));
    label->setPalette(pal);
}

} // namespace

QVStatusBar::QVStatusBar(QWidget *parent, uint8_t language) : QWidget(parent)
{
    m_probe = panel(this);
    m_probe->setIndent(3);
    m_hintPanel = panel(this);
    m_hint = new QLabel(m_hintPanel);
    m_hint->setGeometry(1, 1, HintCellWidth, HintCellHeight);
    m_keyboard = new QLabel(m_hintPanel);
    m_keyboard->setGeometry(1, 1, HintCellWidth, HintCellHeight);
    m_keyboard->setPixmap(withTransparentBackground(res::image(QStringLiteral("QVKEYBOARDPC"))));
    m_hint->hide();
    m_keyboard->hide();
    m_status = panel(this);
    m_status->setIndent(PortIconWidth + 2);
    m_portIcon = new QLabel(m_status);
    m_portIcon->setPixmap(serialPortPicture());
    m_portIcon->setGeometry(3, 3, 16, 12);

    const QFontMetrics fm(font());
    m_statusWidth = std::max(MinStatusWidth,
                             std::max(fm.horizontalAdvance(statusText(stConnected, language)),
                                      fm.horizontalAdvance(statusText(stDisconnected, language))) +
                                 2);
    setStatus(QString(), qv::statusColour(stDisconnected));
}

QRgb QVStatusBar::probeColour() const
{
    return m_probe->palette().color(QPalette::WindowText).rgb();
}

void QVStatusBar::layOut(int width)
{
    resize(width, Height);
    const int probeWidth = width - HintPanelWidth - m_statusWidth - 4;
    m_probe->setGeometry(0, 0, probeWidth, Height);
    m_hintPanel->setGeometry(probeWidth + 2, 0, HintPanelWidth, Height);
    m_status->setGeometry(width - m_statusWidth, 0, m_statusWidth, Height);
}

void QVStatusBar::setProbe(const QString &text, bool red)
{
    m_probe->setText(text);
    setTextColour(m_probe, red ? qRgb(255, 0, 0) : palette().color(QPalette::WindowText).rgb());
}

void QVStatusBar::setStatus(const QString &text, QRgb colour)
{
    m_statusColour = colour;
    m_status->setText(text);
    setTextColour(m_status, colour);
}

void QVStatusBar::showHint(int cell, bool keyboard)
{
    if (cell >= 0) {
        const QImage cells = res::image(QStringLiteral("QVHINTBITMAP"));
        m_hint->setPixmap(withTransparentBackground(
            cells.copy(cell * HintCellWidth, 0, HintCellWidth, HintCellHeight)));
        m_hint->show();
        m_keyboard->hide();
        return;
    }
    m_hint->clear();
    m_hint->hide();
    m_keyboard->setVisible(keyboard);
}

} // namespace qv
