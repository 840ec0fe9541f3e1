// The entry fields: the keys while editing, and what confirming each field
// does (saving, choosing a cell, calibrating, the reference, the clock, the
// alarm, the autosave comment).
#include "engine/engine.h"

#include "engine/keys.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qvsim {

void MeterEngine::openEditor(uint16_t screen, EditMode mode, const std::string &text, uint8_t key1)
{
    m_editor.setEnglish(m_english);
    m_editor.open(mode, text);
    m_editing = true;
    m_screen = screen;
    answer(key1);
}

void MeterEngine::editorKey(uint8_t key)
{
    if (key == KeyEnter) {
        editorConfirm();
        return;
    }
    if (key == KeyEsc) {
        m_editing = false;
        m_screen = m_screen == ScrAutosaveComment ? uint16_t(MenuAutosave + m_autosaveCode)
                                                  : parentScreen(m_screen);
        answer(key);
        return;
    }
    m_editor.press(key);
    // The second key names the character group the editor has selected.
    static const uint8_t groupKeys[4] = {0, KeyMode, KeySet, KeyMemo};
    answer(key, groupKeys[m_editor.group()]);
}

void MeterEngine::editorConfirm()
{
    const uint8_t K = KeyEnter;
    const std::string text = m_editor.text();
    switch (m_screen) {
    case ScrSave:
        m_lastComment = text;
        m_editing = false;
        if (saveWithComment(text, K, MenuMemory + 0)) {
            m_screen = MenuMemory + 0;
            answer(K);
        }
        return;
    case ScrLoad: {
        const long n = std::strtol(text.c_str(), nullptr, 10);
        if (n == 0)
            return showMessage(ErrZeroValue, ScrLoad, K);
        if (n < 0 || size_t(n) > m_memory.count())
            return showMessage(ErrOutOfRange, ScrLoad, K);
        m_viewedCell = size_t(n - 1);
        m_editing = false;
        m_screen = ScrRecordView;
        answer(K);
        return;
    }
    case ScrCalibration: {
        double v = 0;
        if (!parseValue(m_editor.trimmed(), v, K))
            return;
        v *= std::pow(10.0, 3 * m_editor.prefixStep());
        const double factor = m_last.value > 0 ? v / m_last.value : 0;
        m_newCalibration = int32_t(std::lround(std::min(1e9, m_calibration * factor)));
        m_editing = false;
        showDialog(DlgCalibration, MenuSetup + 2, K);
        return;
    }
    case ScrReference: {
        double v = 0;
        if (!parseValue(m_editor.trimmed(), v, K))
            return;
        v *= std::pow(10.0, 3 * m_editor.prefixStep());
        const RangeScale scale = rangeScale();
        if (v < scale.fullScale(0) * 1e-4 || v > scale.fullScale(scale.count - 1))
            return showMessage(ErrOutOfRange, ScrReference, K);
        m_reference = v;
        m_relative = true;
        m_integration = false;
        m_editing = false;
        m_screen = MenuMode + 2;
        answer(K);
        return;
    }
    case ScrAutosaveComment:
        m_autosaveComment = text;
        m_memoryAutosave = true;
        m_nextAutosave = m_now + 1000;  // re-armed properly when a run starts
        m_editing = false;
        m_screen = MenuMemory + 4;
        answer(K);
        return;
    case ScrDate:
    case ScrAlarmDate: {
        DateTime d = m_screen == ScrDate ? clock() : m_alarmDate;
        if (!parseDateText(text, d))
            return showMessage(ErrIllegalNumber, m_screen, K);
        m_pendingDate = d;
        if (m_screen == ScrDate)
            openEditor(ScrTime, EditTime, timeText(clock()), K);
        else
            openEditor(ScrAlarmMessage, EditAlarmMessage, m_alarmMessage, K);
        return;
    }
    case ScrTime: {
        DateTime t = m_pendingDate;
        if (!parseTimeText(text, t))
            return showMessage(ErrIllegalNumber, ScrTime, K);
        m_clock.set(t, m_now);
        m_nextSecond = m_now + 1000;
        m_editing = false;
        m_screen = MenuMore + 0;
        answer(K);
        return;
    }
    case ScrAlarmMessage:
        m_alarmDate = m_pendingDate;
        m_alarmMessage = text;
        m_alarmOn = true;
        m_editing = false;
        m_screen = MenuMore + 1;
        answer(K);
        return;
    default:
        answer(K);
        return;
    }
}

bool MeterEngine::parseValue(const std::string &text, double &value, uint8_t key1)
{
    const bool digits = std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    const bool clean = text.find_first_not_of("0123456789.") == std::string::npos;
    if (!digits || !clean || std::count(text.begin(), text.end(), '.') > 1) {
        showMessage(ErrIllegalNumber, m_screen, key1);
        return false;
    }
    value = std::strtod(text.c_str(), nullptr);
    if (value == 0) {
        showMessage(ErrZeroValue, m_screen, key1);
        return false;
    }
    return true;
}

bool MeterEngine::saveWithComment(const std::string &comment, uint8_t key1, uint16_t returnTo)
{
    if (m_memory.save(cellOfLastReading(comment)))
        return true;
    // A full module can be emptied and written again; the inner memory cannot.
    if (m_memory.external())
        showDialog(DlgReplaceMemory, returnTo, key1);
    else
        showMessage(ErrMemoryFull, returnTo, key1);
    return false;
}

void MeterEngine::openValueField(uint16_t screen, double value, bool prefilled)
{
    // The prefix steps over what the probe's ranges can show.
    const RangeScale scale = rangeScale();
    int step = 0;
    const std::string text = valueText(value, step);
    m_editor.setPrefixSteps(step, prefixStep(scale.fullScale(0) * 1e-4),
                            prefixStep(scale.fullScale(scale.count - 1)));
    openEditor(screen, EditNumber, prefilled ? text : std::string(), KeyEnter);
}

std::string MeterEngine::valueText(double value, int &prefixStep) const
{
    // Five characters before the unit: 1.234, 12.34 or 123.4 with a prefix.
    prefixStep = qvsim::prefixStep(value);
    double mantissa = value / std::pow(10.0, 3 * prefixStep);
    if (mantissa >= 999.95) {
        ++prefixStep;
        mantissa /= 1000.0;
    }
    char b[16];
    const char *format = mantissa >= 100 ? "%.1f" : mantissa >= 10 ? "%.2f" : "%.3f";
    std::snprintf(b, sizeof b, format, mantissa);
    return b;
}

} // namespace qvsim
