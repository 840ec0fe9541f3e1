// Every program and every command of qv7xx-cli answers --help with a line
// for each option of its table and --version with the one version, without
// a display and without touching a port.
#include "cli/Commands.h"
#include "cmdline/CommandLine.h"

#ifdef QV_CLI_WITH_GUI
#include "app/AppOptions.h"
#endif

#include "support/RunProgram.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

using namespace qv;

namespace {

// Without a display; Qt's own notes (an unset XDG_RUNTIME_DIR) are not ours to test.
qvtest::ProgramRun run(const QString &program, const QStringList &args)
{
    const QStringList noDisplay = {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"};
    qvtest::ProgramRun r = qvtest::runProgram(program, args, {}, noDisplay);
    static const QRegularExpression qtNote("^QStandardPaths: .*\\n", QRegularExpression::MultilineOption);
    r.err = QString::fromLocal8Bit(r.err).remove(qtNote).toLocal8Bit();
    return r;
}

struct Described {
    QString program;     // the executable, under the build folder
    QStringList command; // the arguments before --help
    CommandInfo about;
};

std::vector<Described> everyProgramAndCommand()
{
    const QString cli = QStringLiteral(QV_BINARY_DIR "/src/qv7xx-cli");
    std::vector<Described> all{{cli, {}, cli::programInfo()}};
    for (const cli::Command &c : cli::commands())
        all.push_back({cli, {c.about().command}, c.about()});
#ifdef QV_CLI_WITH_GUI
    all.push_back({QStringLiteral(QV_BINARY_DIR "/src/qv7xx"), {}, appCommandInfo()});
#endif
    // The simulator's table is its own; the options the README names stand for it.
    const std::vector<OptionInfo> simOptions = {{"--charset", "en|pl", ""}, {"--probe", "CODE|none", ""},
                                                {"--port-dir", "DIR", ""}, {"--noise", "P", ""}};
    all.push_back({QStringLiteral(QV_BINARY_DIR "/sim/qv7xx-sim"), {},
                   CommandInfo{"qv7xx-sim", "", "", "", simOptions, ""}});
    return all;
}

} // namespace

TEST(HelpAndVersion, EveryProgramAndCommandAnswers)
{
    for (const Described &d : everyProgramAndCommand()) {
        SCOPED_TRACE((d.about.fullName()).toStdString());
        const qvtest::ProgramRun help = run(d.program, d.command + QStringList{"--help"});
        ASSERT_EQ(help.code, 0) << help.err.toStdString();
        EXPECT_TRUE(help.out.startsWith(("usage: " + d.about.fullName()).toUtf8())) << help.out.toStdString();
        for (const OptionInfo &o : d.about.options) {
            const QString line = "  " + o.name + (o.value.isEmpty() ? QString() : " " + o.value) + "  ";
            EXPECT_TRUE(help.out.contains(line.toUtf8())) << "no line for " << o.name.toStdString();
        }
        const qvtest::ProgramRun version = run(d.program, d.command + QStringList{"--version"});
        EXPECT_EQ(version.code, 0);
        EXPECT_EQ(version.out, (d.about.program + ' ' + programVersion() + '\n').toUtf8());
        // A wrong option: one line saying so, the usage and status 2.
        const qvtest::ProgramRun wrong = run(d.program, d.command + QStringList{"--frobnicate"});
        EXPECT_EQ(wrong.code, 2);
        const QString refusal = d.about.program + ": unknown option --frobnicate\nusage: ";
        EXPECT_TRUE(wrong.err.startsWith(refusal.toUtf8())) << wrong.err.toStdString();
    }
}
