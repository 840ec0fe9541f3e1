// Dialog and error boxes: those that wait for a key, those that time out,
// and what ENTER and ESC do in each.
#include "engine/engine.h"

#include "engine/keys.h"

namespace qvsim {

void MeterEngine::showMessage(uint16_t dialog, uint16_t returnTo, uint8_t key1)
{
    showDialog(dialog, returnTo, key1);
    m_dialogUntil = m_now + (dialog == DlgZeroing ? ZeroingMs : MessageMs);
}

void MeterEngine::showDialog(uint16_t dialog, uint16_t returnTo, uint8_t key1)
{
    if (dialog == ErrProbeComm)
        m_running = false;
    m_screen = dialog;
    m_returnScreen = returnTo;
    m_dialogUntil = 0;
    answer(key1);
}

void MeterEngine::leaveDialog(uint8_t key1)
{
    m_screen = m_returnScreen;
    m_dialogUntil = 0;
    answer(key1);
}

void MeterEngine::dialogKey(uint8_t key)
{
    const bool enter = key == KeyEnter;
    const bool esc = key == KeyEsc;
    switch (m_screen) {
    case DlgCoverProbe:
        if (enter) {
            m_screen = DlgZeroing;
            m_dialogUntil = m_now + ZeroingMs;
            answer(key);
        } else if (esc) {
            leaveDialog(key);
        } else {
            answer(key);
        }
        return;
    case DlgZeroing:
    case DlgNoAccess:
    case DlgProbeInitError:
        answer(key);  // busy, or nothing to do but switch off
        return;
    case DlgAlarm:
    case DlgAlarmOverMeasure:
        if (enter || esc) {
            m_alarmOn = false;  // acknowledged
            leaveDialog(key);
        } else {
            answer(key);
        }
        return;
    case DlgCalibration:
        if (enter && (m_newCalibration < CalibrationMin || m_newCalibration > CalibrationMax))
            return showMessage(ErrOutOfRange, m_returnScreen, key);
        if (enter)
            m_calibration = m_newCalibration;
        break;
    case DlgReplaceMemory:
        if (enter) {
            m_memory.clearAll();
            m_memory.save(cellOfLastReading(m_lastComment));
        }
        break;
    case ErrProbeComm:
        if (enter)  // "Save to..." keeps the last good reading
            m_memory.save(cellOfLastReading(m_lastComment));
        break;
    default:
        break;  // messages: any of ENTER and ESC closes them early
    }
    if (enter || esc)
        leaveDialog(key);
    else
        answer(key);
}

} // namespace qvsim
