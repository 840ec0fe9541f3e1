// The criterion box under a history column: an operator list over a value
// edit. The box knows what its column holds (its style), turns what the user
// types into the canonical text (SearchCriterion.h) and reports every
// effective change: a new operator, or a value that differs from the one the
// edit held when it was entered. Enter moves the focus on, as Tab does; a
// number that does not read brings back the text from before and beeps.
#pragma once

#include "search/SearchCriterion.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QLineEdit;

namespace qv {

class TSearchBX : public QWidget {
    Q_OBJECT
public:
    explicit TSearchBX(QWidget *owner = nullptr);

    QComboBox *OperatorList = nullptr;
    QLineEdit *ValueEdit = nullptr;

    TSearchStyle Style() const { return m_style; }
    // Reloads the operators (index 0), sets TextDefault to the style's default.
    void setStyle(TSearchStyle style);
    // The operator index; 0: no criterion.
    int Index() const;
    // Ignored out of range; otherwise as if the user chose the item.
    void setIndex(int index);
    // The operator's symbol-font bytes (its identity).
    QByteArray OperatorBytes() const;

    int PrevIndex = 0;
    // The last valid value text, shown when an operator is switched on.
    QString TextDefault;
    // The edit's text when it last received the focus.
    QString EntryText;
    TResult Result;

    std::function<void(TSearchBX *sender, const TResult &result)> OnChange;
    std::function<void(TSearchBX *sender)> OnEnter;
    // The error beep (tests count it); unset: the system's.
    std::function<void()> OnBeep;

    // Normalises the edit's text by style and reports a change.
    void Validate();
    // The list's item height: the height of "0" in the list's font.
    int itemHeight() const { return m_itemHeight; }
    // The width the box needs to show its operator and value.
    int neededWidth() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void FillOperators();
    void ShowValue();
    void listChanged();
    void editExit();
    void layOut();
    void fontChanged();
    void focusListFromClick();
    void beep();

    TSearchStyle m_style = ssText;
    int m_itemHeight = 13;
    bool m_focusInside = false;
    bool m_laying = false;
};

} // namespace qv
