// Measurements into the history: a row by hand ("Append") or on the autosave
// interval, which follows the arrival of measurements (not a timer): a row is
// written by the first measurement at or after each point of a grid of times
// that the first captured row, or "Synchronize", lays down. Driven by the
// program's clock seam, so every rule runs under a manual clock in tests.
#pragma once

#include "history/HistoryStore.h"
#include "protocol/Records.h"
#include "serial/Clock.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace qv {

// A value text of the meter with its prefix letter turned into an exponent
// ("12.5 k" -> "12.5e3"); spaces removed.
QString NormalizeValue(const QString &text);

// The autosave choices: 0 off, 1..6 fixed intervals, 7 an interval of the
// user's choice.
constexpr int AutosaveChoices = 8;
constexpr int AutosaveSetTime = 7;
// The item text of a choice; language 0 Polish, 1 English.
QString AutosaveItemText(uint8_t language, int index);
// The interval of a fixed choice in ms (0 for off and for "set time").
uint32_t AutosaveFixedInterval(int index);
// The choice that gives an interval of `seconds`: off for 0, a fixed choice
// when one has it, else "set time".
int AutosaveChoiceOf(uint32_t seconds);
// "20 seconds", "1 sekunda", "22 sekundy", "25 sekund".
QString IntervalText(uint8_t language, uint32_t seconds);

class HistoryCapture {
public:
    HistoryCapture(HistoryStore &store, const Clock &clock);

    // The program's state the rules read; the main window keeps them current.
    struct Flags {
        bool Measuring = false;
        bool MeterOn = false;
        bool SearchBusy = false;
    };
    Flags flags;

    TDataMeasQV LastMeas{};
    TDataInfoQV LastInfo{};

    int AutoIndex = 0;
    uint32_t AutoInterval = 0;
    uint32_t SyncTick = 0;
    uint32_t NextTick = 0;
    // The synchronisation mark on the button is shown.
    bool SyncGlyph = false;

    bool autosaveOn() const { return AutoIndex > 0; }
    bool autosaveRunning() const { return flags.Measuring && autosaveOn(); }

    // Writes one row from LastMeas and LastInfo; the row, or -1 when the
    // history is full.
    int MeasureToHistory();

    // A measurement arrived: kept, and written when autosave is due. The row
    // written, or -1.
    int receiveMeas(const TDataMeasQV &meas);
    // A continuous measurement started (Measuring is set by the caller).
    void startMeas();
    // It stopped.
    void stopMeas();
    // "Append" with autosave off: a row at once. "Synchronize" with autosave
    // on: the grid restarts one interval from now. The row written, or -1.
    int pressInsert();

    // A new choice of the list. For "set time", `seconds` is what the dialog
    // gave (nothing: cancelled, the earlier choice stays). True when the
    // single-measure warning is due. Choosing the choice in force does
    // nothing, except "set time".
    bool choose(int index, std::optional<uint32_t> seconds = std::nullopt);
    // The list closed: a schedule left behind moves to the next grid point.
    void closeUp();

private:
    uint32_t nextGridPoint(uint32_t from, uint32_t now) const;

    HistoryStore &m_store;
    const Clock &m_clock;
    int m_prevModeKey = -1;
    int m_prevCount = -1;
};

} // namespace qv
