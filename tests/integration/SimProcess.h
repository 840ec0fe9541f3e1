// The meter simulator as a separate process, as a user would run it: started
// with its options, publishing its pseudo-terminal in a temporary folder;
// ended (and its link removed) when the object goes.
#pragma once

#include "PtyHelpers.h"

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace qvtest {

class SimProcess {
public:
    explicit SimProcess(const QStringList &options)
    {
        m_process.setProgram(QStringLiteral(QV_BINARY_DIR "/sim/qv7xx-sim"));
        m_process.setArguments(QStringList{"--port-dir", m_dir.path()} + options);
        m_process.start();
        if (m_process.waitForStarted(5000) &&
            waitUntil([&] { return m_process.canReadLine(); }, 5000))
            m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~SimProcess()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
    }
    // The published port ("" when the simulator did not start).
    const QString &path() const { return m_path; }
    QString folder() const { return m_dir.path(); }
    // Ends the simulator as a crash or `kill -9` would: nothing of it runs after.
    void killOutright()
    {
        m_process.kill();
        m_process.waitForFinished(5000);
    }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_path;
};

} // namespace qvtest
