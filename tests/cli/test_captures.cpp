// Captured byte streams under tests/data/captures, one test per capture:
// NAME.hex holds the bytes, NAME.args the decode options, and
// NAME.expected.jsonl the events in order, each with the members that matter
// (an expected member must equal the decoded one; other members are not
// compared). A second test decodes every capture in small blocks and checks
// that the frames and records do not depend on how the bytes were split.
#include "cli/CaptureInput.h"
#include "cli/Commands.h"
#include "cli/DecodeCapture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <tuple>

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

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QList<QJsonObject> decode(const QString &name, int blockSize = -1)
{
    QStringList args = QString::fromUtf8(readFile(capturesDir() + '/' + name + ".args"))
                           .split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
    qv::ArgumentReader opts(decodeInfo(), args);
    DecodeOptions options;
    EXPECT_TRUE(parseDecodeOptions(opts, options)) << name.toStdString();
    if (blockSize >= 0)
        options.blockSize = blockSize;
    QByteArray bytes;
    QString error;
    EXPECT_TRUE(parseHex(readFile(capturesDir() + '/' + name + ".hex"), bytes, error))
        << error.toStdString();
    QList<QJsonObject> events;
    decodeCapture(bytes, options, [&](const QByteArray &line) {
        QJsonParseError e;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &e);
        EXPECT_EQ(e.error, QJsonParseError::NoError) << line.toStdString();
        events << doc.object();
    });
    return events;
}

class Capture : public ::testing::TestWithParam<QString> {};

} // namespace

TEST_P(Capture, DecodesToTheExpectedEvents)
{
    const QString name = GetParam();
    const QList<QJsonObject> got = decode(name);
    QList<QJsonObject> expected;
    for (const QByteArray &line : readFile(capturesDir() + '/' + name + ".expected.jsonl").split('\n')) {
        if (!line.trimmed().isEmpty())
            expected << QJsonDocument::fromJson(line).object();
    }
    ASSERT_FALSE(expected.isEmpty()) << "no expected events for " << name.toStdString();
    ASSERT_EQ(got.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        for (auto it = expected[i].begin(); it != expected[i].end(); ++it) {
            EXPECT_EQ(got[i].value(it.key()), it.value())
                << name.toStdString() << " event " << i << " (" << got[i].value("event").toString().toStdString()
                << ") member " << it.key().toStdString() << ": got "
                << QJsonDocument(got[i]).toJson(QJsonDocument::Compact).toStdString();
        }
    }
}

TEST_P(Capture, RecordsDoNotDependOnTheBlockSplit)
{
    // Frames and their records must come out the same however the line
    // delivered the bytes; status reports and progress do depend on blocks.
    auto records = [](const QList<QJsonObject> &events) {
        QList<QJsonObject> kept;
        for (const QJsonObject &e : events) {
            const QString name = e.value("event").toString();
            if (name != "OnCOMStatus" && name != "OnProgressMemo")
                kept << e;
        }
        return kept;
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
                             return info.param.toStdString() == "" ? std::string("none")
                                                                    : QString(info.param).replace('-', '_').toStdString();
                         });

TEST(DecodeCommand, BadArgumentsAndUnreadableInputExitWithTwo)
{
    const QString cli = QStringLiteral(QV_BINARY_DIR "/src/qv7xx-cli");
    auto run = [&](const QStringList &args, const QByteArray &input = QByteArray()) {
        QProcess p;
        p.start(cli, args);
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(10000));
        return std::make_pair(p.exitCode(), p.readAllStandardError());
    };
    for (const QStringList &args : {QStringList{"decode", "--block-size", "0"},
                                    QStringList{"decode", "--lang", "de"},
                                    QStringList{"decode", "--decimal-separator", "ab"},
                                    QStringList{"decode", "--frobnicate"},
                                    QStringList{"decode", "/nonexistent/capture.hex"},
                                    QStringList{"decode", "a.hex", "b.hex"},
                                    QStringList{"decode", "--block-size"},
                                    QStringList{"nonsense"}}) {
        const auto [code, err] = run(args);
        EXPECT_EQ(code, 2) << args.join(' ').toStdString();
        EXPECT_EQ(err.count('\n') >= 1, true);
        EXPECT_TRUE(err.startsWith("qv7xx-cli: ")) << err.toStdString();
    }
    const auto [badHex, err] = run({"decode", "--hex", "-"}, "25 25 2g");
    EXPECT_EQ(badHex, 2);
    EXPECT_TRUE(err.contains("hexadecimal")) << err.toStdString();

    // Raw bytes on standard input: a "+" frame.
    QProcess p;
    p.start(cli, {"decode", "-"});
    p.write("%%+##");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains("{\"event\":\"OnMeterON\"}"));
}

#ifdef QV_CLI_WITH_GUI
TEST(RenderCommand, WritesOnlyWhereToldAndOnlyAScreen)
{
    const QString cli = QStringLiteral(QV_BINARY_DIR "/src/qv7xx-cli");
    const QString capture = capturesDir() + "/sample-session.hex";
    auto run = [&](const QStringList &args, const QByteArray &input = QByteArray()) {
        QProcess p;
        p.setWorkingDirectory(QDir::tempPath());
        p.start(cli, QStringList{"render", "--hex"} + args);
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(20000));
        return std::make_tuple(p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError());
    };
    // No --out: nothing is written where the user happens to be.
    const auto [noOut, out1, err1] = run({capture});
    EXPECT_EQ(noOut, 2);
    EXPECT_TRUE(err1.contains("--out is required")) << err1.toStdString();
    EXPECT_FALSE(QFile::exists(QDir::temp().filePath("lcd.png")));

    // A screen to standard output: a PNG picture of the LCD at scale 1.
    const auto [toStdout, png, err2] = run({"--out", "-", "--scale", "1", capture});
    EXPECT_EQ(toStdout, 0) << err2.toStdString();
    const QImage picture = QImage::fromData(png, "PNG");
    EXPECT_FALSE(picture.isNull());

    // A capture without a status frame holds no screen: status 3, no picture.
    const QString file = QDir::temp().filePath("qv7xx-render-test.png");
    QFile::remove(file);
    for (const QByteArray &input : {QByteArray(), QByteArray("25 25 2b 23 23")}) {
        const auto [noScreen, out3, err3] = run({"--out", file, "-"}, input);
        EXPECT_EQ(noScreen, 3) << input.toStdString();
        EXPECT_TRUE(err3.contains("holds no screen")) << err3.toStdString();
        EXPECT_FALSE(QFile::exists(file));
    }
}
#endif
