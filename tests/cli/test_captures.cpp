// Captured byte streams under tests/data/captures, one test per capture:
// NAME.hex holds the bytes, NAME.args the decode options, and
// NAME.expected.jsonl the events in order, each with the members that matter
// (an expected member must equal the decoded one; other members are not
// compared). A second test decodes every capture in small blocks and checks
// that the frames and records do not depend on how the bytes were split.
#include "CliRig.h"
#include "cli/CaptureInput.h"
#include "cli/Commands.h"
#include "cli/DecodeCapture.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace qv::cli;

namespace {

QString capturesDir() { return QStringLiteral(QV_TEST_DATA_DIR "/captures"); }

QStringList captureNames()
{
    QStringList names;
    for (const QString &f : QDir(capturesDir()).entryList({"*.hex"}, QDir::Files, QDir::Name))
        names << f.chopped(4);
    return names;
}

QList<QJsonObject> decode(const QString &name, int blockSize = -1)
{
    QStringList args = QString::fromUtf8(qvtest::fileBytes(capturesDir() + '/' + name + ".args"))
                           .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    qv::ArgumentReader opts(decodeInfo(), args);
    DecodeOptions options;
    EXPECT_TRUE(parseDecodeOptions(opts, options)) << name.toStdString();
    if (blockSize >= 0)
        options.blockSize = blockSize;
    QByteArray bytes;
    QString error;
    EXPECT_TRUE(parseHex(qvtest::fileBytes(capturesDir() + '/' + name + ".hex"), bytes, error))
        << error.toStdString();
    QByteArray out;
    decodeCapture(bytes, options, [&](const QByteArray &line) { out += line + '\n'; });
    return qvtest::jsonLines(out);
}

class Capture : public ::testing::TestWithParam<QString> {};

} // namespace

TEST_P(Capture, DecodesToTheExpectedEvents)
{
    const QString name = GetParam();
    const QList<QJsonObject> got = decode(name);
    const QString file = capturesDir() + '/' + name + ".expected.jsonl";
    const QList<QJsonObject> expected = qvtest::jsonLines(qvtest::fileBytes(file));
    ASSERT_FALSE(expected.isEmpty()) << "no expected events for " << name.toStdString();
    ASSERT_EQ(got.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        for (auto it = expected[i].begin(); it != expected[i].end(); ++it) {
            EXPECT_EQ(got[i].value(it.key()), it.value())
                << name.toStdString() << " event " << i << " member " << it.key().toStdString() << ": got "
                << QJsonDocument(got[i]).toJson(QJsonDocument::Compact).toStdString();
        }
    }
}

TEST_P(Capture, RecordsDoNotDependOnTheBlockSplit)
{
    // Frames and their records must come out the same however the line
    // delivered the bytes; status reports and progress do depend on blocks.
    auto records = [](QList<QJsonObject> events) {
        events.removeIf([](const QJsonObject &e) {
            return e.value("event") == "OnCOMStatus" || e.value("event") == "OnProgressMemo";
        });
        return events;
    };
    const QList<QJsonObject> whole = records(decode(GetParam(), 0));
    for (int size : {1, 2, 5, 7, 64}) {
        const QList<QJsonObject> split = records(decode(GetParam(), size));
        ASSERT_EQ(split.size(), whole.size()) << "block size " << size;
        for (int i = 0; i < whole.size(); ++i)
            EXPECT_EQ(split[i], whole[i]) << "block size " << size << " event " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Captures, Capture, ::testing::ValuesIn(captureNames()),
                         [](const ::testing::TestParamInfo<QString> &info) {
                             return QString(info.param).replace('-', '_').toStdString();
                         });

#ifdef QV_CLI_WITH_GUI
TEST(RenderCommand, WritesOnlyWhereToldAndOnlyAScreen)
{
    const QString capture = capturesDir() + "/sample-session.hex";
    const auto run = [](const QStringList &args, const QByteArray &input = {}) {
        return qvtest::runProgram(qvtest::CliProgram, QStringList{"render", "--hex"} + args, input);
    };
    // No --out: nothing is written where the user happens to be.
    const qvtest::ProgramRun noOut = run({capture});
    EXPECT_EQ(noOut.code, 2);
    EXPECT_TRUE(noOut.err.contains("--out is required")) << noOut.err.toStdString();
    EXPECT_FALSE(QFile::exists(QDir::temp().filePath("lcd.png")));

    // A screen to standard output: a PNG picture of the LCD at scale 1.
    const qvtest::ProgramRun png = run({"--out", "-", "--scale", "1", capture});
    EXPECT_EQ(png.code, 0) << png.err.toStdString();
    EXPECT_FALSE(QImage::fromData(png.out, "PNG").isNull());

    // A capture without a status frame holds no screen: status 3, no picture.
    const QString file = QDir::temp().filePath("qv7xx-render-test.png");
    QFile::remove(file);
    for (const QByteArray &input : {QByteArray(), QByteArray("25 25 2b 23 23")}) {
        const qvtest::ProgramRun noScreen = run({"--out", file, "-"}, input);
        EXPECT_EQ(noScreen.code, 3) << input.toStdString();
        EXPECT_TRUE(noScreen.err.contains("holds no screen")) << noScreen.err.toStdString();
        EXPECT_FALSE(QFile::exists(file));
    }
}
#endif
