// The shared command-line reader: the forms of options, what ends them, the
// problems it reports first, and the help text made from the table.
#include "cmdline/CommandLine.h"
#include "support/GoldenText.h"

#include <gtest/gtest.h>

using namespace qv;

namespace {

const CommandInfo Described{"prog", "cmd", "[FILE]", "Does a thing.",
                       {{"--flag", "", "a flag"}, {"--name", "TEXT", "a text"}, {"--count", "N", "a number"}},
                       "Exit status: 0."};

} // namespace

// What each command line reads as, in the golden file cmdline/forms.txt: a
// value may look like an option, the last one counts, after -- all are
// positional; the first problem is the one reported.
TEST(ArgumentReader, FormsOfOptionsMatchTheGoldenListing)
{
    const QStringList cases[] = {
        {"--name", "x", "--count=3", "in"}, {"--flag", "-", "--name=a=b"}, {"--name", "--flag"},
        {"--name", "1", "--name", "2"}, {"--", "--flag", "-x"}, {"--name"}, {"--flag=yes"},
        {"--frob", "--name", "x", "-q"}, {"-q"},
    };
    QString listing;
    for (const QStringList &args : cases) {
        ArgumentReader r(Described, args);
        EXPECT_FALSE(r.askedForInfo());
        listing += QStringLiteral("%1\n  flag %2, name '%3', count '%4', positionals '%5', error '%6'\n")
                       .arg(args.join(' ')).arg(r.flag("--flag")).arg(r.text("--name"), r.text("--count"))
                       .arg(r.positionals().join("' '"), r.error());
    }
    qvtest::expectGoldenText(QStringLiteral("cmdline/forms.txt"), listing);
}

TEST(ArgumentReader, HelpAndVersionWinOverProblems)
{
    for (const QStringList &args : {QStringList{"--frob", "--help"}, QStringList{"-h"}, QStringList{"--version", "x"},
                                    QStringList{"--name"}}) {
        const ArgumentReader r(Described, args);
        EXPECT_EQ(r.askedForInfo(), args != QStringList{"--name"}) << args.join(' ').toStdString();
    }
    // A value that reads "--help" is a value.
    EXPECT_FALSE(ArgumentReader(Described, {"--name", "--help"}).askedForInfo());
    EXPECT_FALSE(ArgumentReader(Described, {"--", "--help"}).askedForInfo());
}

TEST(ArgumentReader, TypedValuesAndTheFirstProblem)
{
    struct Case {
        QStringList args;
        qint64 count;
        QString error;
    };
    const Case cases[] = {
        {{}, 7, ""},
        {{"--count", "12"}, 12, ""},
        {{"--count", "-1"}, 7, "--count must be a whole number from 0 to 99, not '-1'"},
        {{"--count", "1.5"}, 7, "--count must be a whole number from 0 to 99, not '1.5'"},
        {{"--frob", "--count", "x"}, 7, "unknown option --frob"},
    };
    for (const Case &c : cases) {
        ArgumentReader r(Described, c.args);
        EXPECT_EQ(r.integer("--count", 7, 0, 99), c.count) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.error(), c.error);
    }
    ArgumentReader r(Described, {"--name", "pl", "--count", "2", "a", "b"});
    EXPECT_EQ(r.choice("--name", {"en", "pl"}, 0), 1);
    EXPECT_EQ(r.character("--name", 'x'), QChar('x'));
    EXPECT_EQ(r.error(), "--name takes exactly one character, not 'pl'");
    ArgumentReader choices(Described, {"--name", "de"});
    EXPECT_EQ(choices.choice("--name", {"en", "pl", "cz"}, 0), 0);
    EXPECT_EQ(choices.error(), "--name must be en, pl or cz, not 'de'");
    // Reading an option the table does not describe is the command's fault.
    ArgumentReader undescribed(Described, {});
    undescribed.text("--colour");
    EXPECT_EQ(undescribed.error(), "option --colour is read but not in the table");
    ArgumentReader two(Described, {"a", "b"});
    EXPECT_EQ(two.singlePositional(), "a");
    EXPECT_EQ(two.error(), "more than one input given");
}

// Every option a line, with --help and --version.
TEST(HelpText, MatchesItsGoldenFile)
{
    qvtest::expectGoldenText(QStringLiteral("cmdline/help.txt"), helpText(Described));
}
