// The dialog that asks for an autosave interval of the user's choice: 1 to
// 65535 seconds.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <optional>

namespace qv {

class TIntEdit2;

class TFormSetInterval : public QDialog {
    Q_OBJECT
public:
    TFormSetInterval(QWidget *owner, uint8_t language, uint32_t seconds);
    uint32_t seconds() const;
    TIntEdit2 *IntEdit = nullptr;
    static constexpr int MinSeconds = 1, MaxSeconds = 65535;

    // Asks; nothing when cancelled. Tests replace the question.
    static std::function<std::optional<uint32_t>(QWidget *owner, uint32_t seconds)> ask;
};

} // namespace qv
