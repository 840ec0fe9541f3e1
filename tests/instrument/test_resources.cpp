// The bitmaps as properties rather than a list: each language has its
// variant, LCD pictures are two-colour (they follow the backlight), and a missing name gives nothing. The screens' golden sheets show
// that each picture is the one its screen draws.
#include "instrument/LcdSurface.h"
#include "qvres/ResourceData.h"

#include <gtest/gtest.h>

namespace {

// Pictures of the window rather than of the LCD: key faces, logos, hints,
// arrow buttons and the colour service screen.
bool windowPicture(const QString &name)
{
    for (const char *prefix : {"QVKEY", "QVLOGO", "KOLBTN", "QVHINT", "QVMENU2540", "QVAPPICON"})
        if (name.startsWith(QLatin1String(prefix)))
            return true;
    return false;
}

TEST(Resources, LanguageVariantsComeInPairsAndLcdPicturesAreTwoColour)
{
    int lcdPictures = 0;
    for (const QString &name : qv::res::names()) {
        const QImage img = qv::res::image(name);
        ASSERT_FALSE(img.isNull()) << qPrintable(name);
        if (name.contains(QLatin1String("_PL"))) {
            const QString english = QString(name).replace(QLatin1String("_PL"), QLatin1String("_EN"));
            EXPECT_NE(img, qv::res::image(english)) << qPrintable(name) << " has no English picture of its own";
        }
        if (name.contains(QLatin1String("_EN"))) {
            EXPECT_FALSE(qv::res::image(QString(name).replace(QLatin1String("_EN"), QLatin1String("_PL"))).isNull())
                << qPrintable(name);
        }
        if (windowPicture(name))
            continue;
        ++lcdPictures;
        EXPECT_TRUE(qv::LcdSurface::isTwoColour(img)) << qPrintable(name);
    }
    EXPECT_GT(lcdPictures, 100);
    for (const char *model : {"QV700", "K700"})
        for (const char *edition : {"", "_JUX"})
            EXPECT_EQ(qv::res::image(QStringLiteral("QVWELCOME%1_EN%2").arg(model, edition)).size(), QSize(128, 64));
    EXPECT_NE(qv::res::image("QVWELCOMEQV700_EN"), qv::res::image("QVWELCOMEQV700_EN_JUX"));
    EXPECT_TRUE(qv::res::image("QVMENU1100_EN").isNull());
    EXPECT_EQ(qv::res::find("NOSUCHBITMAP"), nullptr);
}

} // namespace
