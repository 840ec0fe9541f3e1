#include "protocol/FormatSettings.h"
#include "protocol/QVFun.h"
#include "protocol/ValueFormat.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

using namespace qv;

namespace {

FormatSettings withSeparators(QChar date, QChar time)
{
    FormatSettings s;
    s.dateSeparator = date;
    s.timeSeparator = time;
    return s;
}

QDate dateOf(TDateTime t)
{
    return ToQDateTime(t).date();
}

} // namespace

// Dates in each field order, and texts no order reads (emptied, date 0).
TEST(NormalizeDate, EachFieldOrderInTurnOrNone)
{
    const ScopedFormatSettings scoped(withSeparators('.', ':'));
    const struct {
        const char *in;
        const char *out;
        QDate date;
    } cases[] = {
        {"5.3.8", "05.03.08", {2008, 3, 5}},          // day-month-year
        {"2009.12.31", "31.12.09", {2009, 12, 31}},   // year-month-day
        {"12.31.09", "31.12.09", {2009, 12, 31}},     // month-day-year
        {"2.2009.28", "28.02.09", {2009, 2, 28}},     // month-year-day
        {"2009.31.12", "31.12.09", {2009, 12, 31}},   // year-day-month
        {"31.2009.12", "31.12.09", {2009, 12, 31}},   // day-year-month
        // 29 Feb 2009 does not exist, so year-month-day wins: 9 Feb 2029.
        {"29.2.9", "09.02.29", {2029, 2, 9}},
        // Short years are always in the 2000s.
        {"5.3.108", "05.03.08", {2108, 3, 5}},
        {"1.1.0", "01.01.00", {2000, 1, 1}},
        {"1.1.1999", "01.01.99", {1999, 1, 1}},
        {"", "", {}}, {"5-3-8", "", {}}, {"1.2", "", {}}, {"1.2.3.4", "", {}}, {"32.13.2009", "", {}},
        {"1..8", "", {}}, {"1.1.10000", "", {}}, {"1.1.-8", "", {}}, {"5.3.8x", "", {}},
    };
    for (const auto &c : cases) {
        QString text = QString::fromLatin1(c.in);
        TDateTime date = -1;
        EXPECT_EQ(NormalizeDate(text, date), c.date.isValid()) << c.in;
        EXPECT_EQ(text, QString::fromLatin1(c.out)) << c.in;
        EXPECT_EQ(date, c.date.isValid() ? std::trunc(date) : 0) << c.in;
        if (c.date.isValid())
            EXPECT_EQ(dateOf(date), c.date) << c.in;
    }
}

// Times read and rewritten, and texts that are no time (emptied, time 0).
TEST(NormalizeTime, ReadsAndRewritesOrRejects)
{
    const ScopedFormatSettings scoped(withSeparators('-', '.'));
    const struct {
        const char *in;
        const char *out;
        int seconds;
    } cases[] = {
        {"7.5.3", "07.05.03", 7 * 3600 + 5 * 60 + 3}, {"12", "12.00.00", 12 * 3600}, {" 0 . 1 ", "00.01.00", 60},
        {"", "", 0}, {"24.00.00", "", 0}, {"12.60", "", 0}, {"1.2.60", "", 0}, {"1.2.3.4", "", 0},
        {"7:5:3", "", 0}, {"1..2", "", 0},
    };
    for (const auto &c : cases) {
        QString text = QString::fromLatin1(c.in);
        TDateTime time = -1;
        EXPECT_EQ(NormalizeTime(text, time), *c.out != 0) << c.in;
        EXPECT_EQ(text, QString::fromLatin1(c.out)) << c.in;
        EXPECT_NEAR(time * 86400, c.seconds, 1e-6) << c.in;
    }
}

TEST(Folders, ProgramFolderHoldsTheExecutable)
{
    const QString folder = ProgramFolder();
    ASSERT_TRUE(folder.endsWith('/'));
    const QString exe = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    EXPECT_EQ(QDir(folder).canonicalPath(), QFileInfo(exe).absolutePath());
}

// Environment changes stay inside this test's own process.
TEST(Folders, DocumentsFallBackToTheProgramFolder)
{
    QTemporaryDir home;
    ASSERT_TRUE(home.isValid());
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + "/.config"));

    EXPECT_EQ(SpecialFolder(QStandardPaths::DocumentsLocation), QString());
    EXPECT_EQ(DocumentsFolder(), ProgramFolder());
    ASSERT_TRUE(QDir(home.path()).mkdir("Documents"));
    EXPECT_EQ(DocumentsFolder(), QDir(home.path()).absolutePath() + "/Documents/");

    qputenv("HOME", savedHome);
    if (savedConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", savedConfig);
}
