// The meter switched off under the program, with the main window on the
// simulated meter in-process (one manual clock): during a continuous series
// that autosave captures, and in the middle of a memory download.
#include "app/InstrumentRig.h"

#include "app/Settings.h"
#include "app/HistoryGrid.h"
#include "app/TFormQV.h"
#include "dialogs/ScriptedDialogs.h"
#include "instrument/QVStatusBar.h"

#include <QLabel>

#include <gtest/gtest.h>

using namespace qv;

namespace {

class SwitchedOff : public ::testing::Test {
protected:
    SwitchedOff() : timers(clock) {}

    void start(const qvsim::MeterConfig &config)
    {
        TComm32QV::ResetSharedState();
        form = std::make_unique<TFormQV>(settings, TFormQV::StartLink{}, SerialPlatform{&clock, &timers, &ports},
                                         nullptr, JournalSetup{QString()});
        meter = std::make_unique<qvsim::MeterEngine>(config);
        meter->setProgramRate(9600);
        m().comm().OpenDetached([this](const QByteArray &b) {
            meter->receive(reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size()));
        });
        press({MeterKey::Refresh}, 2000);
    }
    TQVMeter32 &m() { return *form->QVMeter(); }
    // Each key after the meter's answer to the one before, at the line's rate.
    void press(std::initializer_list<MeterKey> keys, uint32_t thenMs = 300)
    {
        for (MeterKey k : keys) {
            m().PressKey(k);
            run(300);
        }
        run(thenMs);
    }
    void run(uint32_t ms) { qvtest::runMeter(*meter, m().comm(), timers, ms, qvtest::InstrumentRig::LineBytesPerStep); }
    int rows() const { return form->store().HistRows(); }
    QString status() { return m().statusBar()->statusPanel()->text().trimmed(); }
    int memoryRowsShown() const
    {
        const QAbstractItemModel &memo = *form->SGMemo->model();
        int n = 0;
        for (int r = 0; r < memo.rowCount(); ++r)
            n += !memo.data(memo.index(r, hc::Value)).toString().trimmed().isEmpty();
        return n;
    }

    qvtest::FakePorts ports;
    ManualClock clock;
    ManualTimers timers;
    MemorySettingsStore settings;
    ScriptedDialogHandler dialogs;
    ScopedDialogHandler scope{dialogs};
    std::unique_ptr<TFormQV> form;
    std::unique_ptr<qvsim::MeterEngine> meter;
};

} // namespace

TEST_F(SwitchedOff, DuringASeriesTheSeriesStopsAndNothingIsCapturedTwice)
{
    qvsim::MeterConfig config;
    config.startSeries = true;
    start(config);
    form->chooseAutosave(1);
    run(5000);
    ASSERT_TRUE(form->Measuring);
    const int before = rows();
    ASSERT_GE(before, 4);
    const std::string lastValue(form->store().hist().cellView(before - 1, hc::Value));

    press({MeterKey::Power});
    EXPECT_FALSE(form->MeterOn);
    EXPECT_FALSE(form->Measuring);
    run(5000);
    EXPECT_EQ(rows(), before) << "the last measurement is not captured again while the meter is off";

    press({MeterKey::Power}, 2500);
    EXPECT_TRUE(form->MeterOn);
    EXPECT_FALSE(form->Measuring);
    EXPECT_EQ(rows(), before);
    press({MeterKey::Meas}, 5000);
    ASSERT_TRUE(form->Measuring);
    ASSERT_GT(rows(), before);
    EXPECT_NE(form->store().hist().cellView(before, hc::Value), lastValue);
    // At most one row a second of measuring, labelled on without a gap.
    EXPECT_LE(rows(), before + 6);
    for (int r = 0; r < rows(); ++r)
        EXPECT_EQ(form->store().hist().cell(r, hc::Label), QString::number(r + 1));
}

TEST_F(SwitchedOff, InTheMiddleOfADownloadNoPartialMemoryIsShownAndTheNextDownloadWorks)
{
    qvsim::MeterConfig config;
    config.cells = 24;
    config.offDuringMemory = true;
    start(config);
    const std::initializer_list<MeterKey> download = {MeterKey::Memo, MeterKey::Up, MeterKey::Enter, MeterKey::Enter};
    press(download, 3000);
    EXPECT_FALSE(meter->isOn());
    EXPECT_FALSE(form->MemoLoaded);
    EXPECT_EQ(memoryRowsShown(), 0);
    EXPECT_EQ(status(), "Data error");
    EXPECT_FALSE(m().comm().InMemoryTransfer());

    press({MeterKey::Power}, 2500);
    press(download, 3000);
    EXPECT_TRUE(form->MemoLoaded);
    EXPECT_EQ(memoryRowsShown(), 24);
    EXPECT_EQ(status(), "Connected");
}
