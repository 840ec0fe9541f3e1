// The autosave list: its items drawn centred, "OFF" in red, and the edit
// field showing the interval in force when "set time" is chosen. It tells
// when the user picks an item (also the one in force) and when it closes.
#pragma once

#include <QComboBox>

#include <cstdint>
#include <functional>

namespace qv {

class AutosaveList : public QComboBox {
    Q_OBJECT
public:
    AutosaveList(uint8_t language, QWidget *parent = nullptr);

    // The interval of "set time", shown in the edit field.
    void setCustomSeconds(uint32_t seconds);
    // The text the edit field shows.
    QString fieldText() const;

    std::function<void()> onCloseUp;

protected:
    void paintEvent(QPaintEvent *event) override;
    void hidePopup() override;

private:
    uint8_t m_language;
    uint32_t m_seconds = 0;
};

// A button with the synchronisation mark: 8 x 8 green.
QPixmap SyncGlyphPixmap();

} // namespace qv
