// Every bitmap the program draws exists under its name, in every variant, with
// its size; LCD pictures are two-colour (they follow the backlight).
#include "instrument/LcdSurface.h"
#include "qvres/ResourceData.h"

#include <QSet>

#include <gtest/gtest.h>

namespace {

struct Expected {
    const char *name;
    int width, height;
    bool local;        // "_PL" and "_EN" variants
};

// Sizes as the screens use them (cell grids times cell sizes).
const Expected Lcd[] = {
    {"QVDIGITSLARGE", 140, 16, false}, {"QVANSICHAR", 354, 8, false}, {"QVDIGITSSMALL", 74, 8, false},
    {"QVCLOCKCHAR", 54, 8, false}, {"QVUNITLARGEIRRADIANCE", 288, 64, false},
    {"QVUNITLARGELUMINANCE", 288, 32, false}, {"QVUNITLARGEPERCENT", 224, 16, false},
    {"QVUNITLARGEEXPOSURE", 352, 64, false}, {"QVUNITLARGELUMEXPOSURE", 352, 32, false},
    {"QVUNITSMALLIRRADIANCE", 324, 32, false}, {"QVUNITSMALLLUMINANCE", 324, 16, false},
    {"QVUNITPREFIXLARGE", 192, 16, false}, {"QVUNITPREFIXSMALL", 72, 8, false}, {"QVSCREENIRRADIANCE", 31, 16, false},
    {"QVSCREENLUMINANCE", 31, 16, false}, {"QVSCREENSTAT", 128, 40, true}, {"QVSCREENLUMSTAT", 128, 40, true},
    {"QVSCREENRELATIVE", 128, 48, false}, {"QVSCREENLUMRELATIVE", 128, 48, false},
    {"QVSCREENRADIANTEXPOSURE", 128, 48, true}, {"QVSCREENLUMEXPOSURE", 128, 48, true},
    {"QVSCREENCURRENTLARGE", 31, 16, false}, {"QVSCREENCHARGE", 31, 16, false},
    {"QVSCREENCURRENTSMALL", 12, 8, false}, {"QVSCREENCURRENTRELATIVE", 13, 8, false}, {"QVSCREENOVER", 8, 16, false},
    {"QVSCREENPLAY", 8, 16, false}, {"QVSCREENPAUSE", 8, 16, false}, {"QVLOGSCALE", 128, 2, false},
    {"QVERRORNOPROBE", 66, 16, true}, {"QVICONMODE", 75, 16, false}, {"QVICONAUTORANGE", 20, 16, false},
    {"QVICONSTATSAVE", 20, 16, false}, {"QVICONMEMOSAVE", 16, 16, false}, {"QVICONALARM", 10, 16, false},
    {"QVICONMEMO", 100, 16, false}, {"QVICONBAT", 140, 16, false}, {"QVTYPLUMACCESSORY", 18, 16, false},
    {"QVRANGENOPROBE", 26, 16, false}, {"QVRANGEIRRADIANCE", 260, 256, false}, {"QVRANGELUMINANCE", 420, 64, false},
    {"QVRANGENONAME", 494, 64, false}, {"QVMEMOPREVIEWDESC", 54, 30, false}, {"QVMEMOPREVIEWLUM", 28, 32, false},
    {"QVMAXMEMOCELL511", 27, 8, false}, {"QVMAXMEMOCELL512", 27, 8, false}, {"QVINFOMEMOVIEW", 48, 16, true},
    {"QVINFOEMPTYCELL", 64, 16, true}, {"QVINFOOUTCELL", 64, 16, true}, {"QVMENU10", 128, 64, true},
    {"QVMENU20", 128, 64, true}, {"QVMENU30", 128, 64, true}, {"QVMENU110", 128, 64, true},
    {"QVMENU100", 107, 64, true}, {"QVMENU140", 107, 64, true}, {"QVMENU150", 107, 64, true},
    {"QVMENU220", 107, 64, true}, {"QVMENU230", 107, 64, true}, {"QVMENU250", 107, 64, true},
    {"QVMENU320", 107, 64, true}, {"QVMENU350", 107, 64, true}, {"QVMENU1400", 107, 64, true},
    {"QVMENU2500", 107, 64, true}, {"QVMENU2510", 107, 64, true}, {"QVMENU2520", 107, 64, true},
    {"QVMENU2530", 107, 64, true}, {"QVMENU25000", 107, 64, true}, {"QVMENU25100", 107, 64, true},
    {"QVMENUYESNO", 53, 40, true}, {"QVMENUCHECK", 10, 8, false}, {"QVDIALOGCLOSEPROBE", 84, 32, true},
    {"QVDIALOGZEROPROBE", 84, 32, true}, {"QVDIALOGONALARM", 84, 40, false}, {"QVDIALOGCALIBRATION", 104, 44, true},
    {"QVDIALOGEMPTYMEMORY", 84, 16, true}, {"QVDIALOGNOACCESS", 84, 40, true}, {"QVPROBEERROR", 84, 24, true},
    {"QVEXTMEMORYOVERWRITE", 84, 40, true}, {"QVERRORFORMAT", 66, 16, true}, {"QVERRORZERO", 66, 24, true},
    {"QVERROROUTRANGE", 66, 24, true}, {"QVERRORFULLMEMORY", 66, 12, true}, {"QVERRORCOMMPROBE", 66, 32, true},
};

// Colour pictures: the service screen, the window's key faces, logos and hints.
const Expected Colour[] = {
    {"QVMENU2540", 128, 64, true}, {"QVKEYMODE", 39, 30, true}, {"QVKEYSET", 39, 30, true},
    {"QVKEYMEMO", 39, 30, true}, {"QVKEYESC", 39, 30, true}, {"QVKEYPOWER", 39, 30, false},
    {"QVKEYREFRESH", 27, 26, false}, {"QVLOGOTAMBRIX", 66, 14, false}, {"QVLOGOJUX", 66, 14, false},
    {"QVHINTBITMAP", 248, 16, false}, {"QVKEYBOARDPC", 31, 16, false}, {"KOLBTNARROWSMALLDOWN", 14, 4, false},
    {"KOLBTNARROWSMALLUP", 14, 4, false}, {"KOLBTNARROWLARGEDOWN", 18, 5, false},
    {"KOLBTNARROWLARGEUP", 18, 5, false}, {"QVAPPICON", 13, 13, false},   // the art of the program's icon
};

const Expected BlackOnWhiteKeys[] = {
    {"QVKEYUP", 19, 19, false}, {"QVKEYDOWN", 19, 19, false}, {"QVKEYMEAS", 27, 19, false},
    {"QVKEYENTER", 26, 19, false},
};

QStringList variants(const Expected &e)
{
    if (!e.local)
        return {QString::fromLatin1(e.name)};
    return {QString::fromLatin1(e.name) + "_PL", QString::fromLatin1(e.name) + "_EN"};
}

void expectSized(const Expected &e, QSet<QString> &seen)
{
    for (const QString &name : variants(e)) {
        seen.insert(name);
        const QImage img = qv::res::image(name);
        ASSERT_FALSE(img.isNull()) << qPrintable(name);
        EXPECT_EQ(img.size(), QSize(e.width, e.height)) << qPrintable(name);
    }
}

TEST(Resources, EveryNamedBitmapExistsWithItsSize)
{
    QSet<QString> seen;
    for (const Expected &e : Lcd) {
        expectSized(e, seen);
        for (const QString &name : variants(e))
            EXPECT_TRUE(qv::LcdSurface::isTwoColour(qv::res::image(name))) << qPrintable(name);
    }
    for (const Expected &e : BlackOnWhiteKeys)
        expectSized(e, seen);
    for (const Expected &e : Colour) {
        expectSized(e, seen);
        EXPECT_FALSE(qv::LcdSurface::isTwoColour(qv::res::image(variants(e).first()))) << e.name;
    }
    // The welcome screens: both models, both languages, both editions.
    for (const char *model : {"QV700", "K700"})
        for (const char *lang : {"_PL", "_EN"})
            for (const char *edition : {"", "_JUX"})
                expectSized({qPrintable(QString("QVWELCOME%1%2%3").arg(model, lang, edition)), 128, 64, false}, seen);
    // Nothing else is built: a stray name would be a picture no screen draws.
    for (const QString &name : qv::res::names())
        EXPECT_TRUE(seen.contains(name)) << "unexpected resource " << qPrintable(name);
}

TEST(Resources, LanguageVariantsDifferAndMissingNamesGiveNothing)
{
    for (const Expected &e : Lcd) {
        if (!e.local)
            continue;
        const QStringList v = variants(e);
        EXPECT_NE(qv::res::image(v[0]), qv::res::image(v[1])) << e.name;
    }
    EXPECT_NE(qv::res::image("QVWELCOMEQV700_EN"), qv::res::image("QVWELCOMEQV700_EN_JUX"));
    EXPECT_NE(qv::res::image("QVWELCOMEQV700_EN"), qv::res::image("QVWELCOMEK700_EN"));
    EXPECT_TRUE(qv::res::image("QVMENU1100_EN").isNull());
    EXPECT_EQ(qv::res::find("NOSUCHBITMAP"), nullptr);
}

} // namespace
