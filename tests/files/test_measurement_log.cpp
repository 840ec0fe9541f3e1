// The measurement log: a whole history file (or CSV) after every row, the
// header check before appending, a torn last line cut off with the numbering
// going on after the last whole row, the autosave rule on a manual clock, and
// a store that holds only the row being written.
#include "files/CsvExport.h"
#include "files/DataFileReader.h"
#include "files/MeasurementLog.h"
#include "FileTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qv;

namespace {

struct LogRig {
    QTemporaryDir dir;
    QString path = dir.filePath("log.txt");
    ManualClock clock{1000000};
    LogFile file;
    QString error;

    LogFile::Opened openLog(LogFile::Format format = LogFile::Format::History)
    {
        return file.open(path, format, 1, error);
    }

    // Measurements of a continuous run every `stepMs` for `ms`, from `start`.
    qint64 run(MeasurementLog &log, uint32_t ms, uint32_t stepMs = 500)
    {
        TDataInfoQV info;
        info.ContinuousMeas = true;
        log.info(info);
        log.started();
        qint64 rows = 0;
        for (uint32_t t = 0; t <= ms; t += stepMs) {
            clock.set(1000000 + t);
            TDataMeasQV m;
            m.Complete = true;
            m.ValueText = QStringLiteral("%1 k").arg(t);
            rows += log.measurement(m) ? 1 : 0;
        }
        return rows;
    }
    // The file as the program opens it: its rows' labels, when it opens.
    std::string opened()
    {
        HistoryStore store(filetest::OneEach);
        const bool opens = ReadHistoryFile(path, store).status == FileReadResult::Opened;
        std::string labels = opens ? "" : "not opened";
        for (int r = 0; r < store.HistRows(); ++r)
            labels += std::string(r ? " " : "") + std::string(store.hist().cellView(r, hc::Label));
        return labels;
    }
};

} // namespace

TEST(MeasurementLog, EveryRowIsInTheFileAtOnceAndTheIntervalWritesTheRowsOfItsGrid)
{
    LogRig r;
    ASSERT_EQ(r.openLog(), LogFile::Opened::Created);
    // A new log is a whole (empty) history file before any row.
    EXPECT_EQ(filetest::readBytes(r.path), FileHeaderLine(1));
    MeasurementLog log(r.file, r.clock);
    EXPECT_EQ(r.run(log, 1000), 3);
    EXPECT_EQ(r.opened(), "1 2 3");
    EXPECT_TRUE(filetest::readBytes(r.path).endsWith("\t1000e3" + QByteArray(12, '\t') + "\r\n"));
    EXPECT_EQ(log.rowsWritten(), 3);
    EXPECT_EQ(log.lastLabel(), 3);
    // Two measurements a second for 5 s: the first row and one a second after it.
    log.setInterval(1);
    EXPECT_EQ(r.run(log, 5000), 6);
    EXPECT_EQ(r.opened(), "1 2 3 4 5 6 7 8 9");
    EXPECT_TRUE(filetest::readBytes(r.path).contains("\t5000e3\t"));
    // An interval that no fixed choice has goes through "set time".
    MeasurementLog slow(r.file, r.clock);
    slow.setInterval(7);
    EXPECT_EQ(r.run(slow, 14000), 3);
}

TEST(MeasurementLog, AppendsAfterTheLastWholeRowAndCutsATornOne)
{
    LogRig r;
    {
        ASSERT_EQ(r.openLog(), LogFile::Opened::Created);
        MeasurementLog log(r.file, r.clock);
        r.run(log, 500);
        r.file.close();
    }
    // A power cut in the middle of the third row.
    ASSERT_TRUE(filetest::writeBytes(r.path, filetest::readBytes(r.path) + "3\t07-12-2026\t10:00"));

    ASSERT_EQ(r.openLog(), LogFile::Opened::Appended);
    EXPECT_EQ(r.file.lastLabel(), 2);
    MeasurementLog log(r.file, r.clock);
    log.continueAfter(r.file.lastLabel());
    r.run(log, 0);
    r.file.close();
    EXPECT_EQ(r.opened(), "1 2 3");
    EXPECT_FALSE(filetest::readBytes(r.path).contains("10:00"));
    EXPECT_TRUE(filetest::readBytes(r.path).endsWith("\r\n"));
}

TEST(MeasurementLog, RefusesAFileOfAnotherKindAndASecondLogger)
{
    LogRig r;
    struct Case {
        QByteArray start;
        LogFile::Format format;
    };
    const Case foreign[] = {
        {"not a history file\r\n", LogFile::Format::History},
        {FileHeaderLine(0), LogFile::Format::History},                             // the Polish header
        {QByteArray::fromStdString(CsvHeaderRow()), LogFile::Format::History},
        {FileHeaderLine(1), LogFile::Format::Csv},
        {"\t", LogFile::Format::History},                                          // shorter than a header
    };
    for (const Case &c : foreign) {
        ASSERT_TRUE(filetest::writeBytes(r.path, c.start));
        EXPECT_EQ(r.openLog(c.format), LogFile::Opened::HeaderMismatch) << c.start.constData();
        EXPECT_EQ(filetest::readBytes(r.path), c.start);
    }
    ASSERT_TRUE(QFile::remove(r.path));
    ASSERT_EQ(r.openLog(LogFile::Format::Csv), LogFile::Opened::Created);
    LogFile second;
    EXPECT_EQ(second.open(r.path, LogFile::Format::Csv, 1, r.error), LogFile::Opened::Failed);
    EXPECT_FALSE(r.error.isEmpty());
    MeasurementLog log(r.file, r.clock);
    r.run(log, 500);
    const QList<QByteArray> lines = filetest::readBytes(r.path).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0] + '\n', QByteArray::fromStdString(CsvHeaderRow()));
    EXPECT_TRUE(lines[2].startsWith("2,")) << lines[2].constData();
    EXPECT_TRUE(lines[2].contains(",500e3,")) << lines[2].constData();
}
