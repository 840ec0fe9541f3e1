#include "dialogs/TConfirmForm.h"

#include "dialogs/ConfirmLayout.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <cmath>

namespace qv {

namespace {

// Captions by button code; the single-button form says "OK" in both languages.
const char16_t *const kPolishCaptions[kDialogButtonCount] = {
    u"Tak", u"Nie", u"Pomiń", u"Tak na wszystkie", u"Nie na wszystkie", u"Anuluj"};
const char *const kEnglishCaptions[kDialogButtonCount] = {
    "Yes", "No", "Skip", "Yes to all", "No to all", "Cancel"};

QString caption(int code)
{
    if (DialogLanguage == LangEnglish)
        return QString::fromLatin1(kEnglishCaptions[code]);
    return QString::fromUtf16(kPolishCaptions[code]);
}

std::function<void(int)> &beepHook()
{
    static std::function<void(int)> beep = [](int) { QApplication::beep(); };
    return beep;
}

QStyle::StandardPixmap iconPixmap(int flag)
{
    switch (flag) {
    case IconInformation:
        return QStyle::SP_MessageBoxInformation;
    case IconWarning:
        return QStyle::SP_MessageBoxWarning;
    default:
        return QStyle::SP_MessageBoxQuestion;
    }
}

// Callers break lines with CR LF; the label breaks at LF.
QString displayText(const QString &text)
{
    QString s = text;
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

// The widest line, measured as the form always measured it: with every "&"
// doubled, which leaves a little room to spare on such lines.
int textWidth(const QFont &font, const QString &lines)
{
    const QFontMetricsF fm(font);
    qreal widest = 0;
    for (QString line : lines.split(QLatin1Char('\n'))) {
        line.replace(QLatin1String("&"), QLatin1String("&&"));
        widest = std::max(widest, fm.horizontalAdvance(line));
    }
    return int(std::ceil(widest));
}

} // namespace

TConfirmForm::TConfirmForm(const DialogRequest &request)
    : QDialog(request.owner,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint),
      m_icon(new QLabel(this)),
      m_label(new QLabel(this)),
      m_check(new QCheckBox(this)),
      m_iconFlag(request.icon)
{
    setWindowTitle(request.caption);
    setModal(true);

    const QStyle::StandardPixmap sp = iconPixmap(request.icon);
    m_icon->setPixmap(style()->standardIcon(sp, nullptr, this).pixmap(confirm::kIconSize));
    m_icon->setAlignment(Qt::AlignCenter);

    // Plain text in a label without a buddy: "&" is shown as it stands.
    m_label->setTextFormat(Qt::PlainText);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setText(displayText(request.text));

    m_check->setText(request.checkCaption);
    m_check->setChecked(request.checked);
    m_check->setVisible(request.checkBox);

    createButtons(request);
    layOut(request);
    place(request.owner);
}

void TConfirmForm::createButtons(const DialogRequest &request)
{
    for (int code = 0; code < kDialogButtonCount; ++code) {
        auto *b = new QPushButton(caption(code), this);
        b->setAutoDefault(true);
        connect(b, &QPushButton::clicked, this, [this, code] { done(code); });
        m_buttons[code] = b;
    }
    if (request.okOnly)
        m_buttons[BtnCodeYes]->setText(QStringLiteral("OK"));

    // The default button comes first in the tab order, the rest follow in
    // code order, the check box last.
    const int first = request.yesNoOnly ? request.defaultButton : BtnCodeYes;
    m_default = m_buttons[first];
    m_default->setDefault(true);
    QWidget *previous = m_default;
    for (int code = 0; code < kDialogButtonCount; ++code) {
        if (code == first)
            continue;
        setTabOrder(previous, m_buttons[code]);
        previous = m_buttons[code];
    }
    setTabOrder(previous, m_check);
}

void TConfirmForm::layOut(const DialogRequest &request)
{
    const int width = textWidth(m_label->font(), m_label->text());
    const QSize text(width, m_label->heightForWidth(width));
    const QSize check = request.checkBox ? m_check->sizeHint() : QSize();
    const ConfirmOptions options{request.toAll, request.okOnly, request.yesNoOnly};
    const ConfirmGeometry g = layOutConfirm(text, check, options);

    m_icon->setGeometry(g.icon);
    m_label->setGeometry(g.label);
    if (request.checkBox)
        m_check->setGeometry(g.check);
    for (int code = 0; code < kDialogButtonCount; ++code) {
        m_buttons[code]->setGeometry(g.buttons[code]);
        m_buttons[code]->setVisible(g.shown[code]);
    }
    setFixedSize(g.client);
}

void TConfirmForm::place(QWidget *owner)
{
    QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    std::optional<QRect> around;
    if (CenterOnOwner && owner)
        around = owner->window()->frameGeometry();
    // The window with its frame stays inside the work area: the platform
    // window is made now, so that the frame's size is known.
    winId();
    move(placeConfirm(frameGeometry().size(), around, screen->availableGeometry()));
}

void TConfirmForm::setBeep(std::function<void(int)> beep) { beepHook() = std::move(beep); }

void TConfirmForm::reject() { done(BtnCodeCancel); }

void TConfirmForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_default->setFocus(Qt::OtherFocusReason);
    if (beepHook())
        beepHook()(m_iconFlag);
}

namespace {

class ConfirmFormHandler : public DialogHandler {
public:
    DialogAnswer ask(const DialogRequest &request) override
    {
        // On the heap: should the owner go away while the dialog is open, it
        // takes the dialog with it and the answer is Cancel.
        QPointer<TConfirmForm> form = new TConfirmForm(request);
        if (request.held)
            request.held->hold([form] {
                if (form)
                    form->close();
            });
        const int code = form->exec();
        if (!form)
            return DialogAnswer(BtnCodeCancel);
        DialogAnswer answer(code);
        if (request.checkBox)
            answer.checked = form->CheckBox()->isChecked();
        delete form;
        return answer;
    }
};

} // namespace

DialogHandler &confirmFormDialogs()
{
    static ConfirmFormHandler handler;
    return handler;
}

} // namespace qv
