// The virtual instrument: a copy of the meter's LCD with its ten keys, the
// serial port settings and the link status. It owns the protocol component
// and the instrument core, keeps the connection (port and baud-rate changes,
// reconnection, the meter search), operates the meter from the on-screen
// keys, the PC keyboard and clicks on menu lines, and passes the meter's
// records on to its owner through its events.
#pragma once

#include "instrument/DownloadWarning.h"
#include "instrument/MenuSelection.h"
#include "instrument/MeterCore.h"
#include "protocol/KeyTyper.h"
#include "protocol/TComm32QV.h"

#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QPushButton;

namespace qv {

class LcdView;
class QVKeypad;
class QVStatusBar;
class TSpecBitBtn;
using TQVBitBtn = TSpecBitBtn;
class TransmissionFrame;

class TQVMeter32 : public QWidget {
    Q_OBJECT
public:
    static constexpr int Width = 349;
    static constexpr int Height = 314;
    static constexpr QPoint LcdPos{69, 40};

    // language: 0 Polish, 1 English; edition: 0 the maker's, 1 the
    // distributor's (logo, welcome screen, web address). The platform gives
    // the clock, timers and port list (tests pass manual ones).
    TQVMeter32(QWidget *owner, uint8_t language, uint8_t edition,
               const SerialPlatform &platform = SerialPlatform::system());
    ~TQVMeter32() override;

    uint8_t language() const { return m_language; }
    uint8_t edition() const { return m_edition; }

    // --- properties ---------------------------------------------------------
    QString Port() const { return m_port; }
    void setPort(const QString &name);
    TBaudRate BaudRate() const { return m_comm->BaudRate(); }
    void setBaudRate(TBaudRate rate);
    // Both at once (start-up): the meter is asked for its state once, after both.
    void setPortAndBaudRate(const QString &port, TBaudRate rate);
    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    bool Caption3D() const { return m_caption3D; }
    void setCaption3D(bool on);
    bool SoundError = false;
    bool InternalCaptionClick = true;
    bool InternalLogoClick = true;
    bool InternalCOMSearch = true;
    bool AutoRefreshBAT() const { return m_core->AutoRefreshBAT; }
    void setAutoRefreshBAT(bool on) { m_core->AutoRefreshBAT = on; }

    // --- operations -----------------------------------------------------------
    void ClosePort();
    // The index of the open port in the port list (0: none).
    int PortNumber() const;
    // The meter information window, or the no-data message before the meter
    // identified itself.
    void ShowInfo();
    // An on-screen key (also menu clicks and the deferred REFRESH).
    void PressKey(MeterKey key);

    // The sound of an error status with SoundError (QApplication::beep unless
    // replaced; tests listen here).
    std::function<void()> beep;
    // The web address a logo click opens for an edition.
    static QUrl webAddress(uint8_t edition);

    // --- events (raised only when assigned) -------------------------------
    TComm32VN::TNotify OnCOMPortChange, OnBaudRateChange;
    TComm32VN::TStatus OnStatus;
    TComm32QV::TNotifyInfo OnReceiveInfo;
    TComm32QV::TNotifyInfoMeter OnReceiveInfoMeter;
    TComm32QV::TNotifyMeas OnReceiveMeas;
    TComm32QV::TReceive OnReceiveMemo;
    TComm32VN::TNotify OnStartMeas, OnStopMeas, OnMeterON, OnMeterOFF;
    TComm32VN::TNotify OnCaptionClick, OnLogoClick, OnExternalCOMSearch;
    TComm32VN::TNotify OnEnter, OnExit;

    // --- parts (for the owner and tests) ------------------------------------
    TComm32QV &comm() { return *m_comm; }
    MeterCore &core() { return *m_core; }
    KeyTyper &typer() { return *m_typer; }
    const MenuSelection &selection() const { return m_selection; }
    LcdView *lcdView() const { return m_lcd; }
    TQVBitBtn *keyButton(MeterKey key) const;
    QComboBox *baudBox() const;
    QComboBox *portBox() const;
    QPushButton *offButton() const;
    QPushButton *searchButton() const;
    QVStatusBar *statusBar() const { return m_statusBar; }
    QLabel *titleLabel() const { return m_title; }
    QLabel *logo() const { return m_logo; }
    bool identRequest() const { return m_core->identRequest(); }
    bool refreshOnChange() const { return m_refreshOnChange; }
    bool downloadWarningOpen() const { return m_warning.isOpen(); }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // construction and looks (QVMeter32.cpp)
    void createTitle();
    void createFrames();
    void layOut();
    void repaintLogo();
    void wireCore();
    void showStatus(int code, const QString &text);
    void returnFocus();

    // the link (QVMeter32Link.cpp)
    void fillPortBox();
    void selectPortInBox();
    // The whole port name of the box's item `index`, and the item of a port (-1: none).
    QString portInBox(int index) const;
    int portIndexInBox(const QString &port) const;
    void portListChanged();
    void baudBoxChosen(int index);
    void portBoxChosen(int index);
    void turnOffClicked();
    void searchClicked();
    void requestRefresh();
    void raiseHoldTime();
    void updateLinkButtons();
    bool realPortSelected() const;

    // keys, hints and clicks (QVMeter32Keys.cpp)
    void pcKeyDown(QKeyEvent *event);
    void lcdClicked(QPointF at);
    void lcdDoubleClicked(QPointF at);
    void continueSelection();
    void keyHover(MeterKey key, bool entered);
    void redrawKeyHint();

    uint8_t m_language;
    uint8_t m_edition;
    Clock &m_clock;
    std::unique_ptr<TComm32QV> m_comm;
    std::unique_ptr<MeterCore> m_core;
    std::unique_ptr<KeyTyper> m_typer;
    DownloadWarning m_warning;
    MenuSelection m_selection;

    QString m_port;
    QString m_caption;
    bool m_caption3D = true;
    bool m_refreshOnChange = true;
    bool m_reconnecting = false;

    QLabel *m_titleShadow = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_logo = nullptr;
    LcdView *m_lcd = nullptr;
    std::unique_ptr<QVKeypad> m_keypad;
    TransmissionFrame *m_transmission = nullptr;
    QVStatusBar *m_statusBar = nullptr;
};

} // namespace qv
