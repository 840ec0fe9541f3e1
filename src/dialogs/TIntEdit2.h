// The integer spin edit: an edit box that takes only an integer and two arrow
// buttons that step it, repeating while held. The value is kept inside
// MinVal..MaxVal and on multiples of ValInterval.
#pragma once

#include "serial/Timer.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>

class QAbstractButton;
class QLineEdit;

namespace qv {

class TIntEdit2 : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRepeatDelay = 400;      // ms from pressing to the second step
    static constexpr int kRepeatInterval = 100;   // ms between further steps

    explicit TIntEdit2(QWidget *parent = nullptr, TimerFactory &timers = qtTimers());
    ~TIntEdit2() override;

    int32_t Value() const { return m_value; }
    void setValue(int32_t value);
    int32_t MinVal() const { return m_min; }
    void setMinVal(int32_t value);
    int32_t MaxVal() const { return m_max; }
    void setMaxVal(int32_t value);
    uint16_t ValInterval() const { return m_interval; }
    void setValInterval(uint16_t step);          // 0 is ignored
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int length);               // 0: no limit
    int WidthDigitNumber() const { return m_digits; }
    void setWidthDigitNumber(int digits);        // 0..10; 0: Width holds
    int Width() const { return width(); }
    void setWidth(int width);

    // Takes the edit's text as the new value (as leaving the edit does).
    void commit();

    // Raised when Value changes.
    std::function<void()> OnChange;
    // The pointer moved over any part of the control (position in the control).
    std::function<void(Qt::KeyboardModifiers, QPoint)> OnMouseMove;

    QLineEdit *edit() const { return m_edit; }
    QAbstractButton *downButton() const;
    QAbstractButton *upButton() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    enum class Arrow { None, Down, Up };
    class ArrowButton;

    void step(Arrow arrow);
    void arrowPressed(Arrow arrow);
    void arrowReleased();
    void pointerOver(Arrow arrow, bool over);
    void repeatTick();
    void textEdited();
    bool editKey(int key);
    void layOut();

    QLineEdit *m_edit;
    ArrowButton *m_down;
    ArrowButton *m_up;
    std::unique_ptr<Timer> m_repeat;

    int32_t m_value = 0;
    int32_t m_min = INT32_MIN;
    int32_t m_max = INT32_MAX;
    uint16_t m_interval = 1;
    int m_maxLength = 0;
    int m_digits = 0;
    int m_width = 95;
    QString m_entryText = QStringLiteral("0");   // the edit's text when it got the focus
    Arrow m_pressed = Arrow::None;
    Arrow m_under = Arrow::None;
    bool m_filtering = false;
};

} // namespace qv
