#include "dialogs/TAboutBox.h"

#include "dialogs/AboutContacts.h"
#include "dialogs/UrlOpener.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "cmdline/CommandLine.h"
#include "qvres/ResourceData.h"

namespace qv {

namespace {

// A label that opens its address when clicked and turns blue while the
// pointer is over it.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString &text, QUrl url, QWidget *parent)
        : QLabel(text, parent), m_url(std::move(url))
    {
        setTextFormat(Qt::PlainText);
        setCursor(Qt::PointingHandCursor);
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
        setColour(Qt::black);
    }

protected:
    void enterEvent(QEnterEvent *e) override
    {
        QLabel::enterEvent(e);
        setColour(Qt::blue);
    }
    void leaveEvent(QEvent *e) override
    {
        QLabel::leaveEvent(e);
        setColour(Qt::black);
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
            openUrl(m_url);
        QLabel::mouseReleaseEvent(e);
    }

private:
    void setColour(const QColor &colour)
    {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, colour);
        setPalette(p);
    }

    QUrl m_url;
};

QLabel *boldLabel(const QString &text, int pointDelta, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    if (pointDelta)
        f.setPointSize(f.pointSize() + pointDelta);
    label->setFont(f);
    return label;
}

} // namespace

QString TAboutBox::versionText()
{
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = programVersion();
    return QStringLiteral("version ") + version;
}

TAboutBox::TAboutBox(QWidget *owner, uint8_t language, uint8_t edition)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                         | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    const bool pl = language == 0;
    setWindowTitle(pl ? QStringLiteral(" QV-7xx ... O programie") : QStringLiteral(" QV-7xx ... About"));
    const AboutContacts c = aboutContacts(edition, language);

    auto *icon = new QLabel(this);
    const QIcon appIcon = QGuiApplication::windowIcon();
    icon->setPixmap(appIcon.isNull()
                        ? QPixmap::fromImage(res::image(edition == 1 ? "QVLOGOJUX" : "QVLOGOTAMBRIX"))
                        : appIcon.pixmap(48));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    auto *text = new QVBoxLayout;
    text->setSpacing(2);
    text->addWidget(boldLabel(QStringLiteral("QV-7xx"), 4, this));
    text->addWidget(new QLabel(versionText(), this));
    auto *description = new QLabel(aboutDescription(language), this);
    description->setWordWrap(true);
    text->addWidget(description);
    text->addSpacing(12);
    text->addWidget(boldLabel(c.name, 0, this));
    for (const QString &line : c.address)
        text->addWidget(new QLabel(line, this));
    text->addWidget(new QLabel(c.phone, this));
    text->addWidget(new QLabel(c.fax, this));
    m_web = new LinkLabel(c.webText, c.web, this);
    m_mail = new LinkLabel(c.mailText, c.mail, this);
    text->addWidget(m_web);
    text->addWidget(m_mail);

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *main = new QVBoxLayout(this);
    main->addLayout(top);
    main->addWidget(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
    description->setMinimumWidth(320);
}

} // namespace qv
