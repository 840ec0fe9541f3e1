// The help: opened from the menu and by F1 where the instrument does not take
// F1, at its first topic; its pages, their links and the contents; the
// troubleshooting page against the link's status texts.
#include "FormRig.h"

#include "app/HelpWindow.h"
#include "app/HistoryGrid.h"
#include "app/TFormQV.h"
#include "dialogs/UrlOpener.h"
#include "instrument/QVStatusBar.h"
#include "serial/TComm32VN.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QRegularExpression>
#include <QTextBrowser>

using namespace qv;

namespace {

// The window started on a listed port that is not there.
class HelpTest : public qvtest::FormTest {
protected:
    HelpTest()
    {
        ports.names << QStringLiteral("/tmp/qv7xx-no-such-port");
        form = makeForm(false, {ports.names.last(), br009600});
    }
    HelpWindow *help() const { return form->findChild<HelpWindow *>(); }

    std::unique_ptr<TFormQV> form;
};

QString pageText(const QString &file)
{
    QFile f(QStringLiteral(":/help/") + file);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST_F(HelpTest, StatusToolTipSaysWhyAPortFailedAndF1OutsideTheInstrumentOpensTheHelp)
{
    // What the troubleshooting page tells: the status's tool tip says why a port failed.
    auto *status = form->QVMeter()->findChild<QVStatusBar *>();
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->statusPanel()->text(), statusText(stPortNotFound, 1));
    EXPECT_EQ(status->toolTip(), "Port /tmp/qv7xx-no-such-port does not exist.");
    form->QVMeter()->setPortAndBaudRate(pty.path, br009600);
    EXPECT_EQ(status->toolTip(), QString());

    form->show();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));

    // On the meter's display F1 is the meter's MODE key.
    form->QVMeter()->setFocus();
    QTest::keyClick(form->QVMeter(), Qt::Key_F1);
    EXPECT_EQ(help(), nullptr);

    form->selectView(TFormQV::ViewHistory);
    form->SGHist->setFocus();
    QTest::keyClick(form->SGHist, Qt::Key_F1);
    ASSERT_NE(help(), nullptr);
    EXPECT_TRUE(help()->isVisible());
    EXPECT_EQ(help()->currentTopic(), "000");
    EXPECT_EQ(help()->contents()->currentRow(), 0);

    // A link moves the contents with it; a web address goes to the desktop.
    std::vector<QUrl> opened;
    const UrlOpener previous = setUrlOpener([&](const QUrl &u) { opened.push_back(u); return true; });
    emit help()->page()->anchorClicked(QUrl("100-troubleshooting.html"));
    emit help()->page()->anchorClicked(QUrl("https://www.example.org/"));
    setUrlOpener(previous);
    EXPECT_EQ(help()->currentTopic(), "100");
    EXPECT_EQ(help()->contents()->currentItem()->text(), "Troubleshooting");   // the page's title
    EXPECT_EQ(opened.size(), 1u);

    // The menu brings the same window back at the first topic.
    help()->close();
    form->MenuContents->trigger();
    EXPECT_TRUE(help()->isVisible());
    EXPECT_EQ(help()->currentTopic(), "000");
    EXPECT_EQ(form->findChildren<HelpWindow *>().size(), 1);
}

TEST(HelpPages, ContentsLinksAndTheStatusesOfTheLink)
{
    const std::vector<HelpTopic> topics = helpTopics();
    ASSERT_GE(topics.size(), 10u);
    EXPECT_EQ(topics.front().id, "000");
    const QString index = pageText("index.html");
    for (const HelpTopic &t : topics)
        EXPECT_TRUE(index.contains("<a href=\"" + t.file + "\">" + t.title + "</a>")) << t.file.toStdString();
    static const QRegularExpression href(QStringLiteral("href=\"([^\"#]*)"));
    const QDir dir(QStringLiteral(":/help"));
    for (const QString &file : dir.entryList({"*.html"})) {
        for (auto links = href.globalMatch(pageText(file)); links.hasNext();) {
            const QString target = links.next().captured(1);
            EXPECT_TRUE(target.startsWith("http") || dir.exists(target)) << file.toStdString() << " links "
                                                                         << target.toStdString();
        }
    }
    // Troubleshooting explains every status the link reports.
    const QString page = pageText("100-troubleshooting.html");
    for (int code = stConnected; code <= stPortError; ++code)
        EXPECT_TRUE(page.contains("<b>" + statusText(code, 1) + "</b>")) << statusText(code, 1).toStdString();
}
