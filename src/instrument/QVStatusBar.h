// The instrument's status bar: the probe panel (red when no probe is
// reported), the key-hint panel (the PC key of the meter key under the mouse,
// or the keyboard picture while the PC keyboard operates the meter), and the
// link status panel (navy, red for errors) with the serial-port picture.
#pragma once

#include <QRgb>
#include <QWidget>

#include <cstdint>

class QLabel;

namespace qv {

class QVStatusBar : public QWidget {
    Q_OBJECT
public:
    static constexpr int Height = 18;
    static constexpr int HintPanelWidth = 33;

    QVStatusBar(QWidget *parent, uint8_t language);

    // The status panel's width: the wider of the "Connected" and
    // "Disconnected" texts plus 2, at least 157.
    int statusPanelWidth() const { return m_statusWidth; }
    // Lays the panels out over `width` pixels.
    void layOut(int width);

    void setProbe(const QString &text, bool red);
    void setStatus(const QString &text, QRgb colour);
    // Shows cell `cell` of QVHINTBITMAP (-1: none), or else the keyboard
    // picture when `keyboard` is set.
    void showHint(int cell, bool keyboard);

    QLabel *probePanel() const { return m_probe; }
    QLabel *statusPanel() const { return m_status; }
    QLabel *hintImage() const { return m_hint; }
    QLabel *keyboardImage() const { return m_keyboard; }
    QRgb statusColour() const { return m_statusColour; }
    QRgb probeColour() const;

private:
    QWidget *m_hintPanel;
    QLabel *m_probe;
    QLabel *m_hint;
    QLabel *m_keyboard;
    QLabel *m_status;
    QLabel *m_portIcon;
    QRgb m_statusColour = 0;
    int m_statusWidth;
};

} // namespace qv
