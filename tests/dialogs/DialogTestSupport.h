// Helpers for tests that open real modal dialogs.
#pragma once

#include "dialogs/DialogSeam.h"
#include "dialogs/TConfirmForm.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace qv::test {

// Keeps the module settings of the dialogs as a test found them, and makes
// the dialog's sound silent.
class DialogSettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_language = DialogLanguage;
        m_centre = CenterOnOwner;
        TConfirmForm::setBeep([this](int flag) { beeps.push_back(flag); });
    }
    void TearDown() override
    {
        DialogLanguage = m_language;
        CenterOnOwner = m_centre;
        TConfirmForm::setBeep(nullptr);
    }

    std::vector<int> beeps;

private:
    int m_language = LangPolish;
    bool m_centre = false;
};

// Runs `act` on the modal dialog of type T once it is open. Should `act` leave
// it open, a fail-safe closes it a little later so that the test cannot hang.
template <class T>
void whenModalOpens(std::function<void(T *)> act)
{
    QTimer::singleShot(0, [act] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog is open";
            return;
        }
        QPointer<T> guard(dialog);
        act(dialog);
        QTimer::singleShot(2000, [guard] {
            if (guard && guard->isVisible()) {
                ADD_FAILURE() << "the dialog stayed open";
                guard->close();
            }
        });
    });
}

} // namespace qv::test
