#include "protocol/FormatSettings.h"
#include "protocol/QVFun.h"
#include "protocol/ValueFormat.h"
#include "support/GoldenText.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>


using namespace qv;

namespace {

FormatSettings withSeparators(QChar date, QChar time)
{
    FormatSettings s;
    s.dateSeparator = date;
    s.timeSeparator = time;
    return s;
}

} // namespace

// Date texts in each field order in turn (day-month-year, year-month-day,
// month-day-year, month-year-day, year-day-month, day-year-month; 29 Feb 2009
// does not exist, so year-month-day wins: 9 Feb 2029; short years are in the
// 2000s) and texts no order reads; time texts read and rewritten, and texts
// that are no time. A text read neither way is emptied, its value 0. What
// each gives is listed in the golden file protocol/normalized.txt.
TEST(Normalize, DatesAndTimesMatchTheGoldenListing)
{
    QString listing;
    using Normalize = bool (*)(QString &, TDateTime &);
    const auto list = [&](Normalize normalize, std::initializer_list<const char *> texts) {
        for (const char *in : texts) {
            QString text = QString::fromLatin1(in);
            TDateTime value = -1;
            const bool ok = normalize(text, value);
            listing += QStringLiteral("'%1': %2, '%3', %4\n").arg(in).arg(ok).arg(text)
                           .arg(ok ? ToQDateTime(value).toString(Qt::ISODate) : QString::number(value));
        }
    };
    {
        const ScopedFormatSettings scoped(withSeparators('.', ':'));
        list(NormalizeDate, {"5.3.8", "2009.12.31", "12.31.09", "2.2009.28", "2009.31.12", "31.2009.12",
                             "29.2.9", "5.3.108", "1.1.0", "1.1.1999", "", "5-3-8", "1.2", "1.2.3.4",
                             "32.13.2009", "1..8", "1.1.10000", "1.1.-8", "5.3.8x"});
    }
    const ScopedFormatSettings scoped(withSeparators('-', '.'));
    list(NormalizeTime,
         {"7.5.3", "12", " 0 . 1 ", "", "24.00.00", "12.60", "1.2.60", "1.2.3.4", "7:5:3", "1..2"});
    qvtest::expectGoldenText(QStringLiteral("protocol/normalized.txt"), listing);
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
