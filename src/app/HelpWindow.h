// The program's help: the HTML pages of help/ in the sources, compiled into
// the program (and installed as HTML beside it), shown with their contents
// list beside the page. A topic is named by the three digits its page's file
// name starts with; "000" (getting started) is the first.
#pragma once

#include <QString>
#include <QWidget>

#include <vector>

class QListWidget;
class QTextBrowser;
class QUrl;

namespace qv {

struct HelpTopic {
    QString id;    // "000"
    QString file;  // "000-getting-started.html"
    QString title; // the page's <title>
};

// The topics of the pages in `folder`, in the order of their numbers.
std::vector<HelpTopic> helpTopics(const QString &folder = QStringLiteral(":/help"));

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // A window of its own that closes with `owner`.
    explicit HelpWindow(QWidget *owner);

    // Shows the topic's page; false (and nothing changes) when there is none.
    bool showTopic(const QString &id);
    // The topic of the page shown; empty for a page outside the contents.
    QString currentTopic() const;

    QListWidget *contents() const { return m_contents; }
    QTextBrowser *page() const { return m_page; }

private:
    // A link of a page: ours are shown here, the web's go to the desktop.
    void follow(const QUrl &link);
    void pageShown(const QUrl &page);
    QString topicOf(const QUrl &page) const;

    std::vector<HelpTopic> m_topics;
    QListWidget *m_contents;
    QTextBrowser *m_page;
};

} // namespace qv
