// Printing as a job: the width question, cancel, the printer check, the PDF
// output read back with pdftotext, the progress window, and `qv7xx-cli print`.
#include "RecordingTarget.h"

#include "dialogs/ScriptedDialogs.h"
#include "print/PrinterTarget.h"
#include "print/TFormPrintInfo.h"
#include "support/RunProgram.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace qv;
using qvtest::CliProgram;
using qvtest::runProgram;

namespace {

// A printer that writes a landscape PDF of A4 paper to `path`.
struct PdfPrinter {
    explicit PdfPrinter(const QString &path) : printer(QPrinter::HighResolution), target(printer)
    {
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Landscape);
        EXPECT_TRUE(target.toPdf(path));
    }
    QPrinter printer;
    PrinterTarget target;
};

QString PdfText(const QString &pdf)
{
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    EXPECT_FALSE(tool.isEmpty()) << "pdftotext is missing: run scripts/install-deps";
    const qvtest::ProgramRun run = runProgram(tool, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    return QString::fromUtf8(run.out);
}

} // namespace

TEST(PrintJob, WidthQuestionYesNoCancel)
{
    struct Case {
        std::initializer_list<DialogAnswer> answers;
        PrintResult result;
        bool landscapeDuringJob;
        int questions;
    } cases[] = {
        {{BtnCodeYes}, PrintResult::Printed, true, 1},
        {{BtnCodeNo, BtnCodeYes}, PrintResult::Printed, false, 2},
        {{BtnCodeNo, BtnCodeNo}, PrintResult::Declined, false, 2},
        {{BtnCodeCancel}, PrintResult::Declined, false, 1},
    };
    auto wide = Table(3, std::string(400, 'W'));
    for (const Case &c : cases) {
        ScriptedDialogHandler answers;
        answers.script(c.answers);
        ScopedDialogHandler scoped(answers);
        RecordingTarget target;
        EXPECT_EQ(PrintTable(PrintRows{*wide, PrintKind::History, 3}, target, nullptr, nullptr), c.result);
        ASSERT_EQ(int(answers.requests().size()), c.questions);
        EXPECT_EQ(answers.requests()[0].icon, IconQuestion);
        if (c.questions == 2)
            EXPECT_EQ(answers.requests()[1].icon, IconWarning);
        EXPECT_FALSE(target.dev.landscape);   // portrait again after the job
        if (c.result == PrintResult::Printed)
            EXPECT_EQ(target.landscapeDuringJob, c.landscapeDuringJob);
        else
            EXPECT_TRUE(target.texts().empty());
    }

    // A table that fits, or a printer already in landscape, asks nothing
    // (the program's handler fails any question).
    auto narrow = Table(3, "lamp");
    RecordingTarget fits;
    EXPECT_EQ(PrintTable(PrintRows{*narrow, PrintKind::History, 3}, fits, nullptr, nullptr), PrintResult::Printed);
    RecordingTarget landscape;
    landscape.dev.landscape = true;
    EXPECT_EQ(PrintTable(PrintRows{*wide, PrintKind::History, 3}, landscape, nullptr, nullptr), PrintResult::Printed);
    EXPECT_TRUE(landscape.dev.landscape);
    EXPECT_TRUE(landscape.orientations.empty());
}

TEST(PrintJob, CheckPrinterMessages)
{
    ScriptedDialogHandler answers{DialogAnswer(BtnCodeYes)};
    ScopedDialogHandler scoped(answers);
    EXPECT_FALSE(CheckPrinter(nullptr, {}, false));
    ASSERT_EQ(answers.requests().size(), 1u);
    EXPECT_EQ(answers.last().icon, IconWarning);
    EXPECT_STREQ(answers.last().routine, "ShowInfoBox");

    EXPECT_FALSE(CheckPrinter(nullptr, {QStringLiteral("office")}, true));
    EXPECT_EQ(answers.last().icon, IconInformation);

    EXPECT_TRUE(CheckPrinter(nullptr, {QStringLiteral("office")}, false));
    EXPECT_EQ(answers.requests().size(), 2u);
}

TEST(PrintJob, PdfHasThePagesAndTheTextOfTheTable)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("history.pdf"));
    auto t = Table(150, "lamp");
    PdfPrinter printer(pdf);
    ASSERT_EQ(PrintTable(PrintRows{*t, PrintKind::History, 150}, printer.target, nullptr, nullptr),
              PrintResult::Printed);

    // Every page has the column titles; the group titles head the first only.
    const QString text = PdfText(pdf);
    const int pages = int(text.count(QLatin1Char('\f')));
    EXPECT_GE(pages, 2);
    EXPECT_EQ(text.count(QStringLiteral("Statistics")), 1);
    EXPECT_EQ(text.count(QStringLiteral("Reference")), pages);
    EXPECT_EQ(text.count(QStringLiteral("07-12-2026")), 150);
    EXPECT_TRUE(text.contains(QStringLiteral("Z.K-700")));
    EXPECT_FALSE(text.contains(QStringLiteral("x149")));   // the identifier is not printed
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"history.pdf"});
}

TEST(PrintJob, CancelLeavesNoOutput)
{
    auto t = Table(300, "lamp");
    RecordingTarget recorded;
    ProgressProbe cancel(40);
    EXPECT_EQ(PrintTable(PrintRows{*t, PrintKind::History, 300}, recorded, &cancel, nullptr), PrintResult::Cancelled);
    EXPECT_TRUE(recorded.aborted);
    EXPECT_FALSE(recorded.ended);

    QTemporaryDir dir;
    PdfPrinter printer(dir.filePath(QStringLiteral("cancelled.pdf")));
    ProgressProbe again(40);
    EXPECT_EQ(PrintTable(PrintRows{*t, PrintKind::History, 300}, printer.target, &again, nullptr),
              PrintResult::Cancelled);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST(PrintJob, ProgressWindowClampsPageAndLine)
{
    TFormPrintInfo form(nullptr, 3, 100);
    form.setPage(7);
    const QList<QLabel *> labels = form.findChildren<QLabel *>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel *l) { return l->text().endsWith(" 3 / 3"); }));
    EXPECT_FALSE(form.Cancel);
}

TEST(PrintCli, PrintsAHistoryFileIntoAPdf)
{
    QTemporaryDir dir;
    const QString in = QStringLiteral(QV_TEST_DATA_DIR "/files/program-written.txt");
    for (const QStringList &options : {QStringList{}, QStringList{"--landscape", "--paper", "Letter"}}) {
        const QString out = dir.filePath(QStringLiteral("out.pdf"));
        const QStringList args = QStringList{"print"} + options + QStringList{"--pdf", out, in};
        const qvtest::ProgramRun run = runProgram(CliProgram, args);
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        const QString text = PdfText(out);
        EXPECT_EQ(text.count(QLatin1Char('\f')), 1);
        EXPECT_TRUE(text.contains(QStringLiteral("lamp A")));
        EXPECT_TRUE(text.contains(QStringLiteral("29-02-28")));
        EXPECT_TRUE(text.contains(QStringLiteral("Statistics")));
    }

    const QString missing = dir.filePath(QStringLiteral("never.pdf"));
    const qvtest::ProgramRun noInput =
        runProgram(CliProgram, {"print", "--pdf", missing, dir.filePath("no-such-history.txt")});
    EXPECT_EQ(noInput.code, 2);
    EXPECT_TRUE(noInput.err.contains("no such file")) << noInput.err.toStdString();
    EXPECT_EQ(runProgram(CliProgram, {"print", "--paper", "A3", "--pdf", missing, in}).code, 2);
    EXPECT_EQ(runProgram(CliProgram, {"print", in}).code, 2);
    EXPECT_FALSE(QFile::exists(missing));
}
