// TGauge's bar, TSpecBitBtn's pointer events and the about window.
#include "cmdline/CommandLine.h"
#include "dialogs/TAboutBox.h"
#include "dialogs/TGauge.h"
#include "dialogs/TSpecBitBtn.h"
#include "dialogs/UrlOpener.h"
#include "support/GoldenText.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLabel>
#include <QTest>

#include <gtest/gtest.h>

using namespace qv;

namespace {

// --- TGauge ---------------------------------------------------------------------

// The gauge as the program sets it up: a bare horizontal bar.
class GaugeTest : public ::testing::Test {
protected:
    GaugeTest()
    {
        gauge.resize(200, 10);
        gauge.setShowText(false);
        gauge.setBorderStyle(bsNone);
        gauge.setForeColor(QColor(0x80, 0x80, 0x80));
        gauge.setBackColor(Qt::white);
    }
    // How many pixels of the middle row show the bar colour.
    int filled()
    {
        const QImage image = gauge.grab().toImage();
        int n = 0;
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, image.height() / 2) == gauge.ForeColor();
        return n;
    }

    TGauge gauge;
};

TEST_F(GaugeTest, BarFillsItsShareOfTheRange)
{
    const struct {
        int min, max, set, kept, percent, filled;
    } cases[] = {
        {0, 0, 0, 0, 0, 0},   // an empty range fills nothing
        {0, 100, 37, 37, 37, 74},   {0, 100, 100, 100, 100, 200}, {0, 100, 0, 0, 0, 0},
        {100, 300, 150, 150, 25, 50}, {100, 300, 1000, 300, 100, 200}, {100, 300, -5, 100, 0, 0},
    };
    for (const auto &c : cases) {
        gauge.setMaxValue(c.max);
        gauge.setMinValue(c.min);
        EXPECT_GE(gauge.Progress(), c.min) << "pulled up with the minimum";
        gauge.setProgress(c.set);
        EXPECT_EQ(gauge.Progress(), c.kept) << c.set;
        EXPECT_EQ(gauge.PercentDone(), c.percent) << c.set;
        EXPECT_EQ(filled(), c.filled) << c.set;
    }
}

// --- TSpecBitBtn -----------------------------------------------------------------

TEST(SpecBitBtn, ReportsThePointerComingAndGoing)
{
    TSpecBitBtn button(QStringLiteral("Print"));
    std::vector<char> seen;
    button.OnMouseEnter = [&] { seen.push_back('E'); };
    button.OnMouseLeave = [&] { seen.push_back('L'); };
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&button, &enter);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&button, &leave);
    EXPECT_EQ(seen, (std::vector<char>{'E', 'L'}));

    TSpecBitBtn unassigned;
    QApplication::sendEvent(&unassigned, &enter);   // no handler: nothing happens
}

// --- TAboutBox --------------------------------------------------------------------

// Every text of both editions in both languages, against a golden listing.
TEST(AboutBox, TextsOfBothEditionsInBothLanguagesMatchTheGoldenListing)
{
    const QString previousVersion = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_EQ(TAboutBox::versionText(), "version " + programVersion());   // CMake's project() version
    QCoreApplication::setApplicationVersion("2.3.4");
    QString listing;
    for (uint8_t language : {0, 1}) {
        for (uint8_t edition : {0, 1}) {
            TAboutBox box(nullptr, language, edition);
            listing += QStringLiteral("== language %1, edition %2: %3\n").arg(language).arg(edition)
                           .arg(box.windowTitle());
            for (QLabel *label : box.findChildren<QLabel *>())
                listing += label->text() + '\n';
        }
    }
    QCoreApplication::setApplicationVersion(previousVersion);
    qvtest::expectGoldenText(QStringLiteral("dialogs/about.txt"), listing);
}

TEST(AboutBox, LinksTurnBlueUnderThePointerAndOpenTheirAddress)
{
    std::vector<QUrl> opened;
    const UrlOpener previous = setUrlOpener([&opened](const QUrl &url) {
        opened.push_back(url);
        return true;
    });
    TAboutBox box(nullptr, 1, 1);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QEvent leave(QEvent::Leave);
    for (QLabel *link : {box.webLink(), box.mailLink()}) {
        QApplication::sendEvent(link, &enter);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QApplication::sendEvent(link, &leave);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::black));
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    }
    box.show();
    QTest::keyClick(&box, Qt::Key_Escape);  // Esc closes, and opens nothing
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Rejected);
    setUrlOpener(previous);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].scheme(), "https");
    EXPECT_EQ(opened[0].host(), box.webLink()->text());
    EXPECT_EQ(opened[1], QUrl("mailto:" + box.mailLink()->text()));
}

} // namespace
