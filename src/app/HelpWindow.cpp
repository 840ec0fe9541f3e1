#include "app/HelpWindow.h"

#include "dialogs/UrlOpener.h"

#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace qv {

namespace {

const char HelpScheme[] = "qrc";

QString pageTitle(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    return title.match(QString::fromUtf8(file.readAll())).captured(1).simplified();
}

} // namespace

std::vector<HelpTopic> helpTopics(const QString &folder)
{
    std::vector<HelpTopic> topics;
    const QDir dir(folder);
    static const QRegularExpression numbered(QStringLiteral("^(\\d{3})-.*\\.html$"));
    for (const QString &file : dir.entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name)) {
        const auto m = numbered.match(file);
        if (m.hasMatch())
            topics.push_back({m.captured(1), file, pageTitle(dir.filePath(file))});
    }
    return topics;
}

HelpWindow::HelpWindow(QWidget *owner)
    : QWidget(owner, Qt::Window), m_topics(helpTopics())
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("QV-7xx ... Help"));
    setAttribute(Qt::WA_DeleteOnClose, false);   // kept, so it opens again where it was

    auto *back = new QPushButton(QStringLiteral("Back"), this);
    auto *forward = new QPushButton(QStringLiteral("Forward"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch(1);

    auto *split = new QSplitter(this);
    m_contents = new QListWidget(split);
    m_contents->setObjectName(QStringLiteral("HelpContents"));
    for (const HelpTopic &t : m_topics)
        m_contents->addItem(t.title);
    m_page = new QTextBrowser(split);
    m_page->setObjectName(QStringLiteral("HelpPage"));
    // Links are followed here: the browser would try to load web pages itself.
    m_page->setOpenLinks(false);
    split->setStretchFactor(1, 1);
    split->setSizes({250, 530});

    auto *column = new QVBoxLayout(this);
    column->addLayout(buttons);
    column->addWidget(split, 1);
    resize(780, 560);

    connect(back, &QPushButton::clicked, m_page, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, m_page, &QTextBrowser::forward);
    connect(m_page, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(m_page, &QTextBrowser::forwardAvailable, forward, &QWidget::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_page, &QTextBrowser::anchorClicked, this, &HelpWindow::follow);
    connect(m_page, &QTextBrowser::sourceChanged, this, &HelpWindow::pageShown);
    connect(m_contents, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && size_t(row) < m_topics.size() && currentTopic() != m_topics[size_t(row)].id)
            m_page->setSource(QUrl(QStringLiteral("qrc:/help/") + m_topics[size_t(row)].file));
    });
}

bool HelpWindow::showTopic(const QString &id)
{
    for (const HelpTopic &t : m_topics) {
        if (t.id == id) {
            m_page->setSource(QUrl(QStringLiteral("qrc:/help/") + t.file));
            show();
            raise();
            activateWindow();
            return true;
        }
    }
    return false;
}

QString HelpWindow::currentTopic() const
{
    return topicOf(m_page->source());
}

QString HelpWindow::topicOf(const QUrl &page) const
{
    for (const HelpTopic &t : m_topics)
        if (t.file == page.fileName())
            return t.id;
    return QString();
}

void HelpWindow::follow(const QUrl &link)
{
    const QUrl target = m_page->source().resolved(link);
    if (target.scheme() == QLatin1String(HelpScheme))
        m_page->setSource(target);
    else
        openUrl(target);
}

void HelpWindow::pageShown(const QUrl &page)
{
    // The browser tells before its source() has changed: the page named counts.
    const QString id = topicOf(page);
    int row = -1;
    for (size_t i = 0; i < m_topics.size(); ++i)
        if (m_topics[i].id == id)
            row = int(i);
    const QSignalBlocker quiet(m_contents);
    m_contents->setCurrentRow(row);
}

} // namespace qv
