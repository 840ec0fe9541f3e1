// The main window on a manual clock and timers, over a port list that holds
// one idle pty, its questions answered by script, its journal (when it has
// one) in a folder of the test's own.
#pragma once

#include "InstrumentRig.h"

#include "app/FileDialogs.h"
#include "app/TFormQV.h"
#include "dialogs/ScriptedDialogs.h"

#include <QPushButton>
#include <QTemporaryDir>

#include <deque>

namespace qvtest {

// Answers the file dialogs with the names queued, as a user types them (an
// empty name cancels). A Save dialog that refuses a name takes the next one.
class ScriptedFileDialogs : public qv::FileDialogs {
public:
    QString ask(QWidget *, const qv::FileDialogRequest &request) override
    {
        asked.push_back(request);
        while (!names.empty()) {
            const QString typed = names.front();
            names.pop_front();
            if (typed.isEmpty())
                return {};
            if (!request.save)
                return typed;
            const QString completed = request.accept(typed, 0);
            if (!completed.isEmpty())
                return completed;
        }
        return {};
    }
    std::deque<QString> names;
    std::vector<qv::FileDialogRequest> asked;
};

// `Clock` is a manual clock, or one that moves on its own as it is read.
template <class Clock = qv::ManualClock>
class FormRig : public ::testing::Test {
protected:
    FormRig() : timers(clock), scope(dialogs) { ports.names << pty.path; }

    // Without a journal there is nothing to restore from an earlier test.
    std::unique_ptr<qv::TFormQV> makeForm(bool journal = true, const qv::TFormQV::StartLink &start = {})
    {
        qv::TComm32QV::ResetSharedState();
        const qv::JournalSetup setup = journal ? qv::JournalSetup{journalPath(), qv::RestorePolicy::Ask}
                                               : qv::JournalSetup{QString()};
        return std::make_unique<qv::TFormQV>(settings, start, qv::SerialPlatform{&clock, &timers, &ports}, nullptr,
                                             setup);
    }
    QString journalPath() const { return dir.filePath(QStringLiteral("journal.qvj")); }

    static qv::TDataMeasQV meas(const QString &value)
    {
        qv::TDataMeasQV m;
        m.ValueText = value;
        m.Description = QStringLiteral("probe");
        return m;
    }
    static void probeReported(qv::TFormQV &form)
    {
        qv::TDataInfoQV info;
        info.ProbePresent = true;
        info.ContinuousMeas = true;
        form.QVMeter()->OnReceiveInfo(info);
    }
    // Captures rows by "Append", one per value.
    static void append(qv::TFormQV &form, std::initializer_list<const char *> values)
    {
        probeReported(form);
        for (const char *v : values) {
            form.QVMeter()->OnReceiveMeas(meas(QLatin1String(v)));
            ASSERT_TRUE(form.BtnInsertMeas->isEnabled());
            form.BtnInsertMeas->click();
        }
    }
    static QStringList column(const qv::CellTable &t, int c)
    {
        QStringList out;
        for (int r = 0; r < t.rowCount(); ++r)
            out << t.cell(r, c);
        return out;
    }

    QTemporaryDir dir;
    FakePorts ports;
    IdlePty pty;
    Clock clock;
    qv::ManualTimers timers;
    qv::MemorySettingsStore settings;
    qv::ScriptedDialogHandler dialogs;
    qv::ScopedDialogHandler scope;
};

using FormTest = FormRig<>;

} // namespace qvtest
