// Whole pictures from captures of the meter simulator, from bytes to pixels:
// each capture in tests/data/lcd is rendered as qv7xx-cli render does and
// compared exactly with its golden image. The captures themselves come from
// scripted sessions with the simulator; QV_UPDATE_GOLDEN=1 records them and
// their pictures anew (see tests/data/lcd/README.md).
// The simulator first: its member named emit must not meet Qt's keyword.
#include "engine/engine.h"

#include "instrument/CaptureRenderer.h"
#include "protocol/FormatSettings.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qv;

namespace {

struct Step {
    std::string keys;   // what the program sends
    uint32_t ms;        // then time passes on the meter
};

struct Scene {
    const char *name;
    qvsim::MeterConfig config;
    std::vector<Step> steps;
    uint8_t language;
    uint8_t edition;
};

qvsim::MeterConfig config(bool k700 = false, int cells = 0, bool off = false, bool luminance = false)
{
    qvsim::MeterConfig c;
    c.model = k700 ? qvsim::Model::K700 : qvsim::Model::QV700;
    c.cells = cells;
    c.off = off;
    c.luminance = luminance;
    return c;
}

const std::string Down = "J", Enter = "K";

std::vector<Scene> scenes()
{
    return {
        {"welcome_qv700_en", config(false, 0, true), {{"Z", 200}, {"B", 200}}, 1, 0},
        {"welcome_k700_pl_jux", config(true, 0, true), {{"Z", 200}, {"B", 200}}, 0, 1},
        {"measure_single_en", config(), {{"I", 200}, {"B", 200}, {"S", 700}}, 1, 0},
        {"measure_continuous_pl", config(true), {{"I", 200}, {"D", 200}, {Down, 200}, {Enter, 300}, {"Q", 300}, {"S", 1600}}, 0, 0},
        {"menu_setup_more_rs232_en", config(), {{"I", 200}, {"L", 200}, {"JJJJJ", 300}, {Enter, 200}, {"JJJ", 300}, {Enter, 300}}, 1, 0},
        {"menu_memory_pl", config(false, 3), {{"I", 200}, {"T", 200}, {Down, 200}}, 0, 0},
        {"memory_load_cell_en", config(false, 5), {{"I", 200}, {"T", 200}, {Down, 200}, {Enter, 300}, {"H", 300}}, 1, 0},
        {"memory_empty_dialog_en", config(), {{"I", 200}, {"T", 200}, {Down, 200}, {Enter, 300}}, 1, 0},
        {"luminance_menu_en", config(false, 0, false, true), {{"I", 200}, {"L", 200}, {"JJJ", 300}, {Enter, 300}}, 1, 0},
        {"service_en", config(), {{"I", 200}, {"L", 200}, {"JJJJJ", 300}, {Enter, 200}, {"JJJJ", 300}, {Enter, 300}}, 1, 0},
    };
}

// Runs a scene on the simulator and returns every byte the meter sent.
QByteArray record(const Scene &scene)
{
    qvsim::MeterEngine meter(scene.config);
    meter.setProgramRate(meter.bitsPerSecond());
    QByteArray bytes;
    const auto take = [&] {
        const qvsim::Bytes out = meter.takeOutput();
        bytes.append(reinterpret_cast<const char *>(out.data()), qsizetype(out.size()));
    };
    take();
    for (const Step &s : scene.steps) {
        for (char k : s.keys) {
            meter.receive(std::string(1, k));
            meter.advance(60);
            take();
        }
        meter.advance(s.ms);
        take();
    }
    return bytes;
}

QString dataPath(const Scene &scene, const char *ext)
{
    return QStringLiteral(QV_TEST_DATA_DIR "/lcd/%1.%2").arg(scene.name, ext);
}

QByteArray loadCapture(const Scene &scene)
{
    QFile f(dataPath(scene, "hex"));
    return f.open(QIODevice::ReadOnly) ? QByteArray::fromHex(f.readAll().replace('\n', "")) : QByteArray();
}

QImage render(const QByteArray &capture, const Scene &scene)
{
    ScopedFormatSettings fmt(FormatSettings{'.', '-', ':'});
    RenderSettings settings;
    settings.language = scene.language;
    settings.edition = scene.edition;
    return renderCapture(capture, settings);
}

TEST(GoldenScreens, CapturesRenderToTheirGoldenImages)
{
    const bool update = qEnvironmentVariableIntValue("QV_UPDATE_GOLDEN") == 1;
    for (const Scene &scene : scenes()) {
        SCOPED_TRACE(scene.name);
        const QString pngFile = dataPath(scene, "png");
        if (update) {
            QFile f(dataPath(scene, "hex"));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            const QByteArray hex = record(scene).toHex();
            for (qsizetype i = 0; i < hex.size(); i += 64)
                f.write(hex.mid(i, 64) + '\n');
            f.close();
        }
        const QByteArray capture = loadCapture(scene);
        ASSERT_FALSE(capture.isEmpty()) << qPrintable(dataPath(scene, "hex"));
        const QImage picture = render(capture, scene);
        if (update) {
            ASSERT_TRUE(picture.save(pngFile, "PNG"));
        }
        const QImage golden(pngFile);
        ASSERT_FALSE(golden.isNull()) << qPrintable(pngFile);
        EXPECT_EQ(picture.convertToFormat(QImage::Format_RGB32), golden.convertToFormat(QImage::Format_RGB32))
            << "differs from " << qPrintable(pngFile);
    }
}

TEST(GoldenScreens, FramesAreReportedOneByOne)
{
    const QByteArray capture = loadCapture(scenes()[2]);
    ASSERT_FALSE(capture.isEmpty());
    ScopedFormatSettings fmt(FormatSettings{'.', '-', ':'});
    std::vector<QImage> frames;
    RenderSettings settings;
    settings.settleMs = 0;
    const QImage last = renderCapture(capture, settings, [&](int i, const QImage &img) {
        EXPECT_EQ(i, int(frames.size()));
        frames.push_back(img);
    });
    ASSERT_GE(frames.size(), 3u);
    EXPECT_EQ(frames.back(), last);
    EXPECT_NE(frames.front(), last);
    EXPECT_EQ(scaleLcd(last, 1).size(), QSize(132, 68));
    EXPECT_EQ(scaleLcd(last, 3).pixel(3 * 10, 3 * 10), last.pixel(20, 20));
}

} // namespace
