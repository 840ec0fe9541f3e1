// The meter search window: an animation, the information label and the log
// of ports while the search runs; then, when several meters answered, the
// list to pick one from. The search itself is MeterSearch; this window only
// shows it and turns its outcome into the dialog's result.
#pragma once

#include "meter/MeterSearch.h"
#include "serial/LineSettings.h"

#include <QDialog>
#include <QStringList>

#include <cstdint>
#include <memory>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;

namespace qv {

class TFormAutoCOM : public QDialog {
    Q_OBJECT
public:
    // The window over a search of `ports` (the port box's entries, the
    // no-port entry first). With no port to probe it says so at once.
    TFormAutoCOM(QWidget *parent, uint8_t language, TBaudRate baudRate, const QStringList &ports,
                 const SerialPlatform &platform = SerialPlatform::system(),
                 const SearchTiming &timing = SearchTiming(),
                 MeterSearch::ProbeOpener opener = nullptr);
    ~TFormAutoCOM() override;

    // Runs the search modally over `ports` (the port combo box's entries; the
    // first, the no-port choice, is skipped). The rates are always tried from
    // 9600 bit/s down; `baudRate` is the instrument's current rate. True when
    // the user chose a meter: `port` gets its port name and `baudName` its
    // rate as in the baud-rate box ("1200bps" ... "9600bps").
    static bool Execute(QWidget *parent, uint8_t language, TBaudRate baudRate,
                        const QStringList &ports, QString &port, QString &baudName);

    MeterSearch &Search() { return *m_search; }
    // The chosen meter's port (the no-port name without one) and rate name.
    QString SelectedPort() const;
    QString SelectedBaudName() const;
    bool ResultPanelShown() const;

    // The window's parts, by their names in the design.
    QLabel *ImageSearch = nullptr;
    QLabel *LabelInfo = nullptr;
    QPlainTextEdit *MemoPorts = nullptr;
    QPushButton *BtnStop = nullptr;
    QListWidget *ListBoxCOM = nullptr;
    QLabel *LabelChoose = nullptr;
    QPushButton *BtnOK = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildSearchPanel(QWidget *panel);
    void buildResultPanel(QWidget *panel);
    void showInfo();
    void nextFrame();
    void onMeterFound(const MeterSearch::Result &result);
    void onFinished(MeterSearch::Outcome outcome);
    void closeWithChoice();

    uint8_t m_language;
    std::unique_ptr<MeterSearch> m_search;
    QStackedWidget *m_panels = nullptr;
    int m_frame = 0;
    bool m_shown = false;
};

} // namespace qv
