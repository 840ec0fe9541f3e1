#include "instrument/TransmissionFrame.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace qv {

namespace {
constexpr int Gap = 6;
constexpr int BoxWidth = 80;
constexpr int BoxHeight = 24;
constexpr int RowStep = 32;
constexpr int MaxDropDownRows = 8;
} // namespace

QStringList TransmissionFrame::baudNames()
{
    return {QStringLiteral("1200bps"), QStringLiteral("2400bps"), QStringLiteral("4800bps"),
            QStringLiteral("9600bps")};
}

TransmissionFrame::TransmissionFrame(QWidget *parent, uint8_t language) : QFrame(parent)
{
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    const bool pl = language == 0;
    m_label = new QLabel(pl ? QStringLiteral("Ustawienia transmisji:") : QStringLiteral("Serial port settings:"),
                         this);
    m_baud = new QComboBox(this);
    m_baud->setObjectName(QStringLiteral("CBBaudRate"));
    m_baud->addItems(baudNames());
    m_port = new QComboBox(this);
    m_port->setObjectName(QStringLiteral("CBPort"));
    m_port->setMaxVisibleItems(MaxDropDownRows);
    m_off = new QPushButton(pl ? QStringLiteral("Rozłącz") : QStringLiteral("Turn off"), this);
    m_off->setObjectName(QStringLiteral("BtnOff"));
    m_search = new QPushButton(this);
    m_search->setObjectName(QStringLiteral("BtnSearch"));
}

void TransmissionFrame::layOut(const QRect &geometry)
{
    setGeometry(geometry);
    const int w = geometry.width();
    const int h = geometry.height();
    m_label->move(Gap, 3);
    m_label->adjustSize();
    const int portTop = h - Gap - BoxHeight;
    const int baudTop = portTop - RowStep;
    const int boxLeft = w - Gap - BoxWidth;
    m_baud->setGeometry(boxLeft, baudTop, BoxWidth, BoxHeight);
    m_port->setGeometry(boxLeft, portTop, BoxWidth, BoxHeight);
    const int buttonWidth = boxLeft - Gap - Gap;
    m_off->setGeometry(Gap, baudTop, buttonWidth, BoxHeight);
    m_search->setGeometry(Gap, portTop, buttonWidth, BoxHeight);
}

} // namespace qv
