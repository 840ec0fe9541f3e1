// The main window: the instrument on the Meter view, the History and Memory
// views, the tab strip and the menu. It starts the instrument on the stored
// (or given) port, follows the meter's state through the instrument's events,
// and stores the link settings when it closes.
#pragma once

#include "app/Settings.h"
#include "protocol/Records.h"
#include "serial/TComm32VN.h"

#include <QMainWindow>

#include <optional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;

namespace qv {

class TQVMeter32;

class TFormQV : public QMainWindow {
    Q_OBJECT
public:
    enum View { ViewMeter = 0, ViewHistory = 1, ViewMemory = 2 };

    // A port or rate given on the command line, applied instead of the stored one.
    struct StartLink {
        QString port;
        std::optional<TBaudRate> baud;
    };

    TFormQV(SettingsStore &settings, const StartLink &start = {},
            const SerialPlatform &platform = SerialPlatform::system(), QWidget *parent = nullptr);
    ~TFormQV() override;

    TQVMeter32 *QVMeter() const { return m_meter; }
    uint8_t Language() const { return m_language; }

    // The views: the View menu and the tab strip select the same page.
    int currentView() const;
    void selectView(int index);
    // Recomputes which commands are enabled.
    void ButtonsRefresh();
    // An error that reached the event loop after start-up: shown, the port
    // closed; the program goes on.
    void showException(const QString &what);
    // The smallest client area: the instrument in its panel over the tab strip.
    QSize minimumClientSize() const;

    // --- state other parts read ----------------------------------------------
    bool MeterOn = false;
    bool Measuring = false;
    bool StatusAlarm = false;
    bool ProbeSeen = false;
    TDataInfoQV LastInfo{};
    TInfoMeterQV LastInfoMeter{};

    // --- controls -------------------------------------------------------------
    QTabBar *TabSet = nullptr;
    QStackedWidget *NoteBook = nullptr;
    QFrame *PanelQV = nullptr;
    QWidget *PanelMeter = nullptr;
    QLabel *PanelHint = nullptr;
    QAction *MenuViewItems[3] = {};
    QAction *MenuOperators = nullptr;
    QAction *MenuMeterInfo = nullptr;
    QAction *MenuAbout = nullptr;
    QAction *MenuQuit = nullptr;
    QAction *MenuSaveHistory = nullptr, *MenuSaveResults = nullptr, *MenuSaveMemory = nullptr;
    QAction *MenuPrintHistory = nullptr, *MenuPrintResults = nullptr, *MenuPrintMemory = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    // TFormQV.cpp: the window
    void createMenus();
    void createViews();
    void sizeWindow();
    void placeOnScreen();
    // TFormQVMeter.cpp: the instrument, the settings, shutdown
    void wireInstrument();
    void applyStartLink(const StartLink &start);
    void shutdown();

    SettingsStore &m_settings;
    uint8_t m_language = 1;
    TQVMeter32 *m_meter = nullptr;
    bool m_shutDown = false;
    // Filled by the History and Memory views.
    int m_historyRows = 0;
    bool m_memoLoaded = false;
    bool m_searchResults = false;
    bool m_searchBusy = false;
    bool m_copying = false;
};

} // namespace qv
