// The "Serial port settings" frame: the baud-rate and port boxes, and beside
// them the "Turn off" button and the "Search"/"Connect" button.
#pragma once

#include <QFrame>

#include <cstdint>

class QComboBox;
class QLabel;
class QPushButton;

namespace qv {

class TransmissionFrame : public QFrame {
    Q_OBJECT
public:
    TransmissionFrame(QWidget *parent, uint8_t language);

    // Places the controls inside a frame of this size.
    void layOut(const QRect &geometry);

    QComboBox *baudBox() const { return m_baud; }
    QComboBox *portBox() const { return m_port; }
    QPushButton *offButton() const { return m_off; }
    QPushButton *searchButton() const { return m_search; }

    // The entries of the baud-rate box, from 1200 to 9600 bit/s.
    static QStringList baudNames();

private:
    QLabel *m_label;
    QComboBox *m_baud;
    QComboBox *m_port;
    QPushButton *m_off;
    QPushButton *m_search;
};

} // namespace qv
