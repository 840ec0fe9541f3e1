// The whole instrument window on the measurement screen against a golden
// picture (tests/data/app/README.md says how to make it again).
#include "InstrumentRig.h"

#include <QDir>
#include <QImage>

using namespace qv;
using qvtest::InstrumentRig;

namespace {

QString goldenPath(const char *name)
{
    return QStringLiteral(QV_TEST_DATA_DIR "/app/") + QLatin1String(name);
}

// Pixels that differ, and the first of them.
int differences(const QImage &a, const QImage &b, QPoint &first)
{
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && n++ == 0)
                first = {x, y};
    return n;
}

} // namespace

TEST(GoldenWindow, InstrumentOnTheMeasurementScreen)
{
    InstrumentRig rig;
    rig.settle();
    rig.window->PressKey(MeterKey::Meas);
    rig.run(1500);
    ASSERT_EQ(rig.screen(), 0);
    rig.window->comm().ReportStatus(stConnected);
    const QImage shot = rig.window->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shot.size(), QSize(349, 314));

    const QString path = goldenPath("instrument_measure_en.png");
    if (qEnvironmentVariableIsSet("QV_UPDATE_GOLDEN")) {
        ASSERT_TRUE(shot.save(path, "PNG"));
        GTEST_SKIP() << "wrote " << qPrintable(path);
    }
    const QImage golden = QImage(path).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(golden.isNull()) << "no golden picture " << qPrintable(path);
    ASSERT_EQ(golden.size(), shot.size());
    QPoint first;
    const int n = differences(golden, shot, first);
    if (n) {
        const QString actual = QDir::temp().filePath(QStringLiteral("instrument_measure_en.actual.png"));
        shot.save(actual, "PNG");
        FAIL() << n << " pixels differ, the first at (" << first.x() << ", " << first.y() << "); see "
               << qPrintable(actual);
    }
}
