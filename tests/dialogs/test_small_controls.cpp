// TGauge's bar, TSpecBitBtn's pointer events and the about window.
#include "cmdline/CommandLine.h"
#include "dialogs/TAboutBox.h"
#include "dialogs/TGauge.h"
#include "dialogs/TSpecBitBtn.h"
#include "dialogs/UrlOpener.h"

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
    EXPECT_EQ(filled(), 0);
    gauge.setProgress(37);
    EXPECT_EQ(gauge.PercentDone(), 37);
    EXPECT_EQ(filled(), 74);
    gauge.setProgress(100);
    EXPECT_EQ(filled(), 200);

    gauge.setProgress(0);
    gauge.setMaxValue(300);
    gauge.setMinValue(100);
    EXPECT_EQ(gauge.Progress(), 100);  // pulled up with the minimum
    gauge.setProgress(150);
    EXPECT_EQ(gauge.PercentDone(), 25);
    EXPECT_EQ(filled(), 50);
    gauge.setProgress(1000);
    EXPECT_EQ(gauge.Progress(), 300);
    gauge.setProgress(-5);
    EXPECT_EQ(gauge.Progress(), 100);
    // An empty range fills nothing.
    gauge.setMinValue(0);
    gauge.setMaxValue(0);
    EXPECT_EQ(gauge.PercentDone(), 0);
    EXPECT_EQ(filled(), 0);
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

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = setUrlOpener([this](const QUrl &url) {
            opened.push_back(url);
            return true;
        });
    }
    void TearDown() override { setUrlOpener(m_previous); }

    static QColor textColour(QLabel *label) { return label->palette().color(QPalette::WindowText); }
    static QStringList texts(const TAboutBox &box)
    {
        QStringList out;
        for (QLabel *l : box.findChildren<QLabel *>())
            out << l->text();
        return out;
    }

    std::vector<QUrl> opened;

private:
    UrlOpener m_previous;
};

TEST_F(AboutBoxTest, ShowsCaptionNameVersionAndTheEditionsContacts)
{
    const QString previousVersion = QCoreApplication::applicationVersion();
    QCoreApplication::setApplicationVersion(QString());
    EXPECT_EQ(TAboutBox::versionText(), "version " + programVersion());   // CMake's project() version
    QCoreApplication::setApplicationVersion("2.3.4");
    const QStringList maker = texts(TAboutBox(nullptr, 1, 0));
    const QStringList distributor = texts(TAboutBox(nullptr, 1, 1));
    QCoreApplication::setApplicationVersion(previousVersion);

    for (const QStringList &shown : {maker, distributor}) {
        EXPECT_TRUE(shown.contains("QV-7xx"));
        EXPECT_TRUE(shown.contains("version 2.3.4"));
    }
    EXPECT_NE(TAboutBox(nullptr, 1, 0).webLink()->text(), TAboutBox(nullptr, 1, 1).webLink()->text());
    EXPECT_NE(maker.filter("phone").join(""), distributor.filter("phone").join(""));
    EXPECT_FALSE(maker.filter("fax").isEmpty());
}

TEST_F(AboutBoxTest, LinksTurnBlueUnderThePointerAndOpenTheirAddress)
{
    TAboutBox box(nullptr, 1, 1);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QEvent leave(QEvent::Leave);
    for (QLabel *link : {box.webLink(), box.mailLink()}) {
        QApplication::sendEvent(link, &enter);
        EXPECT_EQ(textColour(link), QColor(Qt::blue));
        QApplication::sendEvent(link, &leave);
        EXPECT_EQ(textColour(link), QColor(Qt::black));
        QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(2, 2));
    }
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].scheme(), "https");
    EXPECT_EQ(opened[0].host(), box.webLink()->text());
    EXPECT_EQ(opened[1], QUrl("mailto:" + box.mailLink()->text()));

    box.show();
    QTest::keyClick(&box, Qt::Key_Escape);  // Esc closes
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Rejected);
    EXPECT_EQ(opened.size(), 2u);
}

} // namespace
