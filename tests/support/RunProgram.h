// Runs one of the project's programs as a user would, in the temporary
// folder, and keeps what it printed: for the tests of the command lines.
#pragma once

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace qvtest {

struct ProgramRun {
    int code = -1; // -1: it crashed or did not end in time
    QByteArray out, err;
};

inline const QString CliProgram = QStringLiteral(QV_BINARY_DIR "/src/qv7xx-cli");

// `environment` holds NAME=VALUE to set and NAME alone to remove.
inline ProgramRun runProgram(const QString &program, const QStringList &args, const QByteArray &input = {},
                             const QStringList &environment = {})
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const QString &e : environment) {
        const qsizetype eq = e.indexOf('=');
        if (eq < 0)
            env.remove(e);
        else
            env.insert(e.left(eq), e.mid(eq + 1));
    }
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(QDir::tempPath());
    p.start(program, args);
    p.write(input);
    p.closeWriteChannel();
    ProgramRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
    } else if (p.exitStatus() == QProcess::NormalExit) {
        r.code = p.exitCode();
    }
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace qvtest
