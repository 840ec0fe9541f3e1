// qv7xx-cli as a user runs it over a shell, with the virtual-port folder of
// a test: to its end, or left running to be signalled; and what it printed
// read back as the program's files and JSON lines.
#pragma once

#include "support/RunProgram.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>

#include <csignal>

namespace qvtest {

inline ProgramRun runCli(const QStringList &args, const QString &portDir, const QByteArray &input = {})
{
    return runProgram(CliProgram, args, input, {"QV7XX_PORT_DIR=" + portDir});
}

// qv7xx-cli started and left running.
class Cli {
public:
    Cli(const QString &portDir, const QStringList &args)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QV7XX_PORT_DIR", portDir);
        m_process.setProcessEnvironment(env);
        m_process.start(CliProgram, args);
        m_process.closeWriteChannel();
    }
    // Waits for the end; the exit code, -1 for a crash or a kill.
    int finish(int timeoutMs = 60000)
    {
        if (!m_process.waitForFinished(timeoutMs)) {
            m_process.kill();
            m_process.waitForFinished();
        }
        out = m_process.readAllStandardOutput();
        err += m_process.readAllStandardError();
        return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    }
    void signal(int sig) { ::kill(pid_t(m_process.processId()), sig); }
    QByteArray out, err;

private:
    QProcess m_process;
};

inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// One object for each non-empty line; an empty object where a line is no JSON.
inline QList<QJsonObject> jsonLines(const QByteArray &out)
{
    QList<QJsonObject> objects;
    for (const QByteArray &line : out.split('\n'))
        if (!line.isEmpty())
            objects << QJsonDocument::fromJson(line).object();
    return objects;
}

} // namespace qvtest
