// A push button that tells when the pointer comes onto it and leaves it
// (say, to show a hint elsewhere while the pointer rests on the button).
#pragma once

#include <QPushButton>

#include <functional>

namespace qv {

class TSpecBitBtn : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
};

} // namespace qv
