// The program's message and question dialog: an icon, the text and up to six
// buttons whose captions follow DialogLanguage and whose layout follows the
// text. It exists only while it is shown; the routines of DialogSeam.h create
// it through the default dialog handler.
#pragma once

#include "dialogs/DialogSeam.h"

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QPushButton;

namespace qv {

class TConfirmForm : public QDialog {
    Q_OBJECT
public:
    // Builds, lays out and places the dialog for `request` (not shown yet).
    explicit TConfirmForm(const DialogRequest &request);

    QLabel *ImageIcon() const { return m_icon; }
    QLabel *LabelTxt() const { return m_label; }
    QCheckBox *CheckBox() const { return m_check; }
    // BtnYes ... BtnCancel by their button codes.
    QPushButton *button(int code) const { return m_buttons.at(code); }
    // The button that has the first tab position and the focus at first.
    QPushButton *defaultButton() const { return m_default; }

    // The sound played as a dialog opens, given the icon flag. The program's
    // is QApplication::beep(); tests listen here.
    static void setBeep(std::function<void(int iconFlag)> beep);

    // Esc and closing the window answer Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createButtons(const DialogRequest &request);
    void layOut(const DialogRequest &request);
    void place(QWidget *owner);

    QLabel *m_icon;
    QLabel *m_label;
    QCheckBox *m_check;
    std::array<QPushButton *, kDialogButtonCount> m_buttons{};
    QPushButton *m_default = nullptr;
    int m_iconFlag;
};

// The default dialog handler: shows a TConfirmForm modally.
DialogHandler &confirmFormDialogs();

} // namespace qv
