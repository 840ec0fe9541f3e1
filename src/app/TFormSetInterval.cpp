#include "app/TFormSetInterval.h"

#include "dialogs/TIntEdit2.h"

#include <QGuiApplication>
#include <algorithm>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace qv {

std::function<std::optional<uint32_t>(QWidget *, uint32_t)> TFormSetInterval::ask =
    [](QWidget *owner, uint32_t seconds) -> std::optional<uint32_t> {
    TFormSetInterval dialog(owner, 1, seconds);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.seconds();
};

TFormSetInterval::TFormSetInterval(QWidget *owner, uint8_t language, uint32_t seconds) : QDialog(owner)
{
    setObjectName(QStringLiteral("FormSetInterval"));
    setWindowTitle(owner ? owner->window()->windowTitle() : QStringLiteral("QV-7xx"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    auto *column = new QVBoxLayout(this);
    column->addWidget(new QLabel(language == 0
                                     ? QStringLiteral("Podaj interwa\u0142 automatycznego zapisu pomiaru do historii:")
                                     : QStringLiteral("Enter autosave time interval:"),
                                 this));
    auto *row = new QHBoxLayout;
    IntEdit = new TIntEdit2(this);
    IntEdit->setObjectName(QStringLiteral("IntEdit"));
    IntEdit->setMinVal(MinSeconds);
    IntEdit->setMaxVal(MaxSeconds);
    IntEdit->setMaxLength(5);
    IntEdit->setValue(int32_t(std::clamp<uint32_t>(seconds, MinSeconds, MaxSeconds)));
    row->addWidget(IntEdit);
    row->addWidget(new QLabel(QStringLiteral("s"), this));
    row->addStretch(1);
    column->addLayout(row);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *cancel = new QPushButton(language == 0 ? QStringLiteral("Anuluj") : QStringLiteral("Cancel"), this);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addWidget(ok);
    column->addLayout(buttons);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, [this] {
        IntEdit->commit();
        accept();
    });
    adjustSize();
    setFixedSize(sizeHint());

    // Centred over the owner, inside the work area.
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect();
    QRect over = owner ? owner->window()->frameGeometry() : work;
    if (!over.isValid())
        over = work;
    QRect r(QPoint(0, 0), size());
    r.moveCenter(over.center());
    if (work.isValid()) {
        r.moveRight(std::min(r.right(), work.right()));
        r.moveBottom(std::min(r.bottom(), work.bottom()));
        r.moveLeft(std::max(r.left(), work.left()));
        r.moveTop(std::max(r.top(), work.top()));
    }
    move(r.topLeft());
}

uint32_t TFormSetInterval::seconds() const
{
    return uint32_t(std::clamp<int32_t>(IntEdit->Value(), MinSeconds, MaxSeconds));
}

} // namespace qv
