// The screens drawn from records, each scene on a fresh white LCD in English
// (unless it says otherwise) and compared with its band of a golden sheet:
// the measurement screen in every unit kind with its range field, icons,
// marks and bar; menus, edit fields, dialogs and the service screen; the
// memory screens; the surface's own operations. QV_UPDATE_GOLDEN=1 draws the sheets anew
// (tests/data/lcd/README.md). What is not a picture is checked on the way.
#include "LcdTestSupport.h"

#include <QPainter>

#include <functional>

using namespace qv;
using lcdtest::measFrame;
using qvtest::Frame;

namespace {

struct Scene {
    const char *name;
    std::function<void(LcdScreen &)> draw;
};

void receive(LcdScreen &s, const Frame &f)
{
    lcdtest::store(s, f);
    s.infoReceived();
    s.measurementReceived();
}
void menu(LcdScreen &s, int code)
{
    s.rec.info.MenuCode = uint16_t(code);
    s.drawScreen();
}
void typed(LcdScreen &s, const char *text, int cursor = 0)
{
    s.rec.text.Text = text;
    s.rec.text.Cursor = uint8_t(cursor);
    s.textReceived();
}
// A cell number typed on the memory menu of a meter with five cells stored.
void cellTyped(LcdScreen &s, const char *text, bool extMemory = false)
{
    s.rec.info.MemoCells = 5;
    s.rec.info.ExtMemory = extMemory;
    menu(s, 110);
    typed(s, text);
}
Frame relative(Frame f) { return f.single(33, 200.0f).single(37, 50.0f); }
Frame dose(Frame f) { return f.u32(32, 3725).single(36, 2500.0f); }
// A stored cell seen as a frame of `type`: 12.34 W/m² (unit row 1), single mode.
Frame cell(uint8_t type)
{
    Frame f(type);
    f.word(5, 0x0001).byte(7, 10).byte(8, 0x30).byte(9, 1).byte(10, (1 << 5) | 15).byte(11, 41)
        .menu(110).clock().single(26, 12.345f).byte(30, 41).text(48, "LAMP 3          ");
    return f;
}
// A menu drawn on a screen of its own language and edition, with some
// pictures missing.
void menuOn(LcdScreen &shown, int code, uint8_t language, uint8_t edition, const QStringList &missing = {},
            bool luxProbe = false)
{
    lcdtest::Without res(missing);
    LcdScreen own(language, edition, res);
    own.surface().setBrush(LcdColourWhite);
    own.surface().clear();
    own.rec.info.LuxProbe = luxProbe;
    menu(own, code);
    shown.surface() = own.surface();
}
Frame rangeFrame(uint16_t status, int unitRow, int accessory)
{
    Frame f = measFrame(1.0f, status, unitRow);
    return f.byte(9, uint8_t(0x01 | (accessory << 4)));
}

const Scene MeasurementScenes[] = {
    {"irradiance lx", [](LcdScreen &s) { receive(s, measFrame(1234.5f, 0x0002, 0)); }},
    {"irradiance W/m2", [](LcdScreen &s) { receive(s, measFrame(1234.5f, 0x0002, 1)); }},
    {"irradiance A", [](LcdScreen &s) { receive(s, measFrame(1234.5f, 0x0002, 2)); }},
    {"irradiance E", [](LcdScreen &s) { receive(s, measFrame(1234.5f, 0x0002, 3)); }},
    {"luminance cd/m2", [](LcdScreen &s) { receive(s, measFrame(1234.5f, 0x0082, 0)); }},
    {"luminance W/(m2 sr)", [](LcdScreen &s) { receive(s, measFrame(1234.5f, 0x0082, 1)); }},
    {"statistics", [](LcdScreen &s) { receive(s, measFrame(1234.5f, 0x0022, 1)); }},
    {"luminance statistics", [](LcdScreen &s) { receive(s, measFrame(1234.5f, 0x00A2, 0)); }},
    {"relative", [](LcdScreen &s) { receive(s, relative(measFrame(1234.5f, 0x0006, 0))); }},
    {"luminance relative", [](LcdScreen &s) { receive(s, relative(measFrame(1234.5f, 0x0086, 0))); }},
    {"exposure", [](LcdScreen &s) { receive(s, dose(measFrame(1234.5f, 0x000A, 1))); }},
    {"luminance exposure", [](LcdScreen &s) { receive(s, dose(measFrame(1234.5f, 0x008A, 1))); }},
    {"exposure time, small unit", [](LcdScreen &s) { receive(s, dose(measFrame(12.345f, 0x000A, 0))); }},
    // Range-limit code 2 with 3 ranges.
    {"over range", [](LcdScreen &s) { receive(s, measFrame(5.0f).byte(31, 6)); }},
    {"over range mark goes with the next frame", [](LcdScreen &s) {
         receive(s, measFrame(5.0f).byte(31, 6));
         receive(s, measFrame(5.0f));
     }},
    {"no prefix letter: digits and over mark, no unit", [](LcdScreen &s) {
         receive(s, measFrame(1.0f));
         s.surface().fill(93, 16, 128, 32);
         s.rec.meas.ValueText = "12345.?";
         s.rec.meas.OverRange = true;
         s.drawValueArea();
     }},
    {"per cent at exponent 12; prefix only in unnamed rows", [](LcdScreen &s) {
         s.surface().clear();
         s.canvas().drawUnit(93, 16, 0, ukRelative, 12);
         s.canvas().drawUnit(93, 32, 5, ukIrradiance, -3);
     }},
    {"range field W/m2", [](LcdScreen &s) { receive(s, rangeFrame(0x0002, 1, 0)); }},
    {"range field unnamed", [](LcdScreen &s) { receive(s, rangeFrame(0x0002, 2, 0)); }},
    {"range field unnamed row 5", [](LcdScreen &s) { receive(s, rangeFrame(0x0002, 5, 0)); }},
    {"range field luminance accessory", [](LcdScreen &s) { receive(s, rangeFrame(0x0082, 0, 2)); }},
    {"range outside the tables", [](LcdScreen &s) { receive(s, measFrame(1.0f).byte(11, 30)); }},
    {"no probe", [](LcdScreen &s) { receive(s, measFrame(1.0f).byte(6, 0x01)); }},
    {"no probe, record view", [](LcdScreen &s) {
         receive(s, measFrame(1.0f).byte(6, 0x01));
         s.drawValueArea();
     }},
    {"status icons", [](LcdScreen &s) {
         // single, auto, stat, memo, alarm; battery code 22 (level 6); memory level 4
         receive(s, measFrame(1.0f, 0x0001 | 0x0010 | 0x0020 | 0x0040 | 0x2000).byte(16, 22)
                        .word(14, 3 << 12));
     }},
    {"continuous relative mode icon", [](LcdScreen &s) {
         receive(s, measFrame(1.0f));
         s.rec.info.SingleMeas = false;
         s.rec.info.ContinuousMeas = s.rec.info.RelativeMode = true;
         s.drawMeasurementScreen();
     }},
    {"integration mode icon", [](LcdScreen &s) {
         receive(s, measFrame(1.0f));
         s.rec.info.ContinuousMeas = s.rec.info.RelativeMode = false;
         s.rec.info.DoseMode = true;
         s.drawMeasurementScreen();
     }},
    {"bar graph during a run", [](LcdScreen &s) {
         s.runInProgress = true;
         receive(s, measFrame(50.0f));
     }},
    {"shorter bar", [](LcdScreen &s) {
         s.runInProgress = true;
         receive(s, measFrame(50.0f));
         receive(s, measFrame(10.0f));
     }},
    {"no run, no bar", [](LcdScreen &s) {
         receive(s, measFrame(1.0f));
         s.surface().fill(0, 0, 128, 4);
         receive(s, measFrame(1.0f));
     }},
    {"play mark", [](LcdScreen &s) {
         receive(s, measFrame(1.0f));
         s.runInProgress = true;
         receive(s, measFrame(1.0f));
     }},
    {"a stop frame brings the pause back", [](LcdScreen &s) {
         receive(s, measFrame(1.0f));
         s.runInProgress = true;
         receive(s, measFrame(1.0f).keys('s'));
     }},
    {"statistics play mark one line higher", [](LcdScreen &s) {
         s.runInProgress = true;
         receive(s, measFrame(1.0f, 0x0022, 0));
     }},
    {"current, relative", [](LcdScreen &s) { receive(s, measFrame(1.0f, 0x0006, 2)); }},
};

const Scene MenuScenes[] = {
    {"path 2531", [](LcdScreen &s) { menu(s, 2531); }},
    {"path 2531 without its deepest menu", [](LcdScreen &s) { menuOn(s, 2531, 1, 0, {"QVMENU2530_EN"}); }},
    {"path 2531 with menu 20 only", [](LcdScreen &s) { menuOn(s, 2531, 1, 0, {"QVMENU2530_EN", "QVMENU250_EN"}); }},
    {"column menu 140 item 7", [](LcdScreen &s) { menu(s, 147); }},
    {"column menu 2520 item 6", [](LcdScreen &s) { menu(s, 2526); }},
    {"yes/no on NO", [](LcdScreen &s) { menu(s, 121); }},
    {"check marks", [](LcdScreen &s) {
         s.rec.info.AutoRange = s.rec.info.BacklightOn = true;
         menu(s, 20);
     }},
    {"accessory check mark", [](LcdScreen &s) {
         s.unit.accessory = 2;
         menu(s, 231);
     }},
    {"integration check mark", [](LcdScreen &s) {
         s.rec.info.DoseMode = true;
         menu(s, 33);
     }},
    {"memory cells: 0 is out", [](LcdScreen &s) {
         cellTyped(s, "0");
         EXPECT_FALSE(s.memoryCellSelected);
         menu(s, 110);   // while the cursor is shown the menu is not drawn again
     }},
    {"memory cells: 7 is empty", [](LcdScreen &s) { cellTyped(s, "7"); EXPECT_FALSE(s.memoryCellSelected); }},
    {"memory cells: 513 is out", [](LcdScreen &s) { cellTyped(s, "513"); EXPECT_FALSE(s.memoryCellSelected); }},
    {"memory cells: 3 is chosen", [](LcdScreen &s) { cellTyped(s, "3"); EXPECT_TRUE(s.memoryCellSelected); }},
    {"memory cells: 512 is out with the external memory", [](LcdScreen &s) { cellTyped(s, "512", true); }},
    {"date field", [](LcdScreen &s) {
         menu(s, 2500);
         typed(s, "14.03.24", 3);
         EXPECT_TRUE(s.cursorShown());
     }},
    {"date field, cursor shown", [](LcdScreen &s) {
         menu(s, 2500);
         typed(s, "14.03.24", 3);
         s.canvas().paintCursor(true);
     }},
    {"text field, cursor shown", [](LcdScreen &s) {
         menu(s, 100);
         typed(s, "AB", 1);
         s.canvas().paintCursor(true);
     }},
    {"the measurement screen hides the cursor", [](LcdScreen &s) {
         menu(s, 100);
         typed(s, "AB", 1);
         menu(s, 0);
         EXPECT_FALSE(s.cursorShown());
     }},
    {"calibration entry with its unit", [](LcdScreen &s) {
         s.unit.kind = ukIrradiance;
         s.unit.row = 0;
         menu(s, 220);
         s.rec.text.Byte45 = 0xD1;   // (13 - 13 + 1) * 3: k
         typed(s, "1.500");
     }},
    {"error dialog", [](LcdScreen &s) { menu(s, 61020); }},
    {"alarm dialog laid over the menu", [](LcdScreen &s) {
         menu(s, 20);
         const QImage before = s.surface().image();
         menu(s, 60060);   // no such dialog: nothing changes
         EXPECT_EQ(s.surface().image(), before);
         menu(s, 60030);
     }},
    {"probe error on the welcome screen", [](LcdScreen &s) { menu(s, 60090); }},
    {"service screen on the green backlight", [](LcdScreen &s) {
         s.surface().setBrush(LcdColourGreen);
         menu(s, 25400);
         EXPECT_TRUE(s.keysLocked);
     }},
    {"Polish welcome, distributor", [](LcdScreen &s) { menuOn(s, 1, 0, 1); }},
    {"Polish welcome of the K-700", [](LcdScreen &s) { menuOn(s, 1, 0, 1, {}, true); }},
    {"Polish menu 30", [](LcdScreen &s) { menuOn(s, 30, 0, 1); }},
};

const Scene MemoryScenes[] = {
    {"progress 37 of 511", [](LcdScreen &s) { s.drawProgress(511, 37, 5); }},
    {"progress at 100 per cent", [](LcdScreen &s) { s.drawProgress(511, 511, 1000); }},
    {"record view of a stored cell", [](LcdScreen &s) {
         lcdtest::store(s, cell(0x00));
         s.rec.info.MenuCode = 110;
         EXPECT_FALSE(s.measurementReceived());   // not passed on as a measurement
         EXPECT_EQ(s.unit.row, 1);
     }},
    {"preview while choosing a cell", [](LcdScreen &s) {
         s.rec.info.MemoCells = 5;
         menu(s, 110);
         lcdtest::store(s, cell(0x05));
         s.memoryCellSelected = true;
         s.measurementReceived();
     }},
    {"no preview unless a cell is chosen", [](LcdScreen &s) {
         lcdtest::store(s, cell(0x05));
         s.memoryCellSelected = false;
         s.measurementReceived();
     }},
};

// A two-colour picture from rows of '#' (ink) and '.'.
QImage monoPicture(std::initializer_list<const char *> rows)
{
    QImage img(int(strlen(*rows.begin())), int(rows.size()), QImage::Format_Mono);
    img.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    int y = 0;
    for (const char *row : rows) {
        for (int x = 0; x < img.width(); ++x)
            img.setPixel(x, y, row[x] == '#' ? 1 : 0);
        ++y;
    }
    return img;
}

// Pixels are 2 x 2 blocks inside a margin; copies paint white in the brush
// colour, clip at the image's edge (beyond the LCD they land in the margin)
// and can be laid over with AND; inversion; recolouring, margin too.
const Scene SurfaceScenes[] = {
    {"corner pixels", [](LcdScreen &s) {
         s.surface().fill(127, 63, 128, 64, LcdInk);
         s.surface().fill(0, 0, 1, 1, LcdInk);
     }},
    {"copy on green, into the margin", [](LcdScreen &s) {
         s.surface().setBrush(LcdColourGreen);
         s.surface().clear();
         s.surface().copy(monoPicture({"#.", ".#"}), 10, 20);
         s.surface().copy(monoPicture({"#.", ".#"}), 129, 65);
     }},
    {"AND overlay, inverted, recoloured", [](LcdScreen &s) {
         s.surface().fill(2, 0, 3, 1, LcdInk);
         s.surface().copy(monoPicture({"#.."}), 0, 0, LcdSurface::Mode::And);
         s.surface().invert(0, 0, 2, 1);
         s.surface().recolour(LcdColourWhite, LcdColourGreen);
     }},
    {"a missing bitmap leaves its area", [](LcdScreen &s) {
         s.surface().fill(0, 0, 128, 64, LcdInk);
         lcdtest::Without res({"QVMENU10_EN"});
         EXPECT_FALSE(LcdCanvas(s.surface(), res, 1).drawBitmap("QVMENU10_EN", 0, 0));
     }},
};

// Draws each scene and compares it with its band of the sheet `file`.
template <size_t N>
void expectSheet(const char *file, const Scene (&scenes)[N])
{
    const QString path = QStringLiteral(QV_TEST_DATA_DIR "/lcd/screens/") + QLatin1String(file);
    ScopedFormatSettings fmt(FormatSettings{'.', '-', ':'});
    std::vector<QImage> drawn;
    for (const Scene &scene : scenes) {
        SCOPED_TRACE(scene.name);
        LcdScreen s(1, 0);
        s.surface().setBrush(LcdColourWhite);
        s.surface().clear();
        scene.draw(s);
        drawn.push_back(s.surface().image().convertToFormat(QImage::Format_RGB32));
    }
    const QSize band = drawn.front().size();
    if (qEnvironmentVariableIntValue("QV_UPDATE_GOLDEN") == 1) {
        QImage sheet(band.width(), band.height() * int(N), QImage::Format_RGB32);
        QPainter p(&sheet);
        for (size_t i = 0; i < N; ++i)
            p.drawImage(0, band.height() * int(i), drawn[i]);
        p.end();
        ASSERT_TRUE(sheet.save(path, "PNG"));
    }
    const QImage sheet = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(sheet.size(), QSize(band.width(), band.height() * int(N))) << qPrintable(path);
    for (size_t i = 0; i < N; ++i)
        EXPECT_EQ(drawn[i], sheet.copy(0, band.height() * int(i), band.width(), band.height()))
            << "scene " << i << " differs: " << scenes[i].name;
}

TEST(Screens, MeasurementScreenMatchesItsGoldenSheet) { expectSheet("measurement.png", MeasurementScenes); }
TEST(Screens, MenusFieldsAndDialogsMatchTheirGoldenSheet) { expectSheet("menus.png", MenuScenes); }
TEST(Screens, MemoryScreensMatchTheirGoldenSheet) { expectSheet("memory.png", MemoryScenes); }
TEST(Screens, SurfaceOperationsMatchTheirGoldenSheet) { expectSheet("surface.png", SurfaceScenes); }

// The new and the old factor sit at fixed places of the text record,
// whatever its length byte says.
TEST(Screens, CalibrationDialogTakesBothFactorsWhateverTheLengthSays)
{
    const auto drawn = [](const char *factors, uint8_t length) {
        LcdScreen s(1, 0);
        s.surface().setBrush(LcdColourWhite);
        Frame f(6);
        f.menu(60040).text(26, factors).byte(42, length).byte(43, 'k');
        lcdtest::store(s, f);
        decodeText(FrameView(f.ptr()), s.rec.text);
        s.drawScreen();
        s.textReceived();
        return s.surface().image();
    };
    const QImage full = drawn(" 6543210 7654321", 16);
    EXPECT_FALSE(drawn(" 6543210        ", 16) == full) << "the old factor shows";
    for (uint8_t length : {0, 8, 15})
        EXPECT_TRUE(drawn(" 6543210 7654321", length) == full) << int(length);
}

} // namespace
