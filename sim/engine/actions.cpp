// What the keys do on the measurement screen, in the menus and on their
// items, in the record view and on "Send to PC".
#include "engine/engine.h"

#include "engine/keys.h"

#include <algorithm>
#include <cstdio>

namespace qvsim {

namespace {

uint16_t topMenuOfKey(uint8_t key)
{
    return key == KeyMode ? MenuMode : key == KeySet ? MenuSetup : MenuMemory;
}

bool isSoftKey(uint8_t key) { return key == KeyMode || key == KeySet || key == KeyMemo; }

std::string cellNumberText(size_t n)
{
    char b[16];
    std::snprintf(b, sizeof b, "%03u", unsigned(n));
    return b;
}

} // namespace

void MeterEngine::measureScreenKey(uint8_t key)
{
    if (isSoftKey(key)) {
        // A run goes on behind the menus; only its reports pause.
        m_screen = topMenuOfKey(key);
        answer(key);
        return;
    }
    if (!m_probePresent || m_probeFault) {
        if (key == KeyMeas && m_probeFault)
            showDialog(ErrProbeComm, ScrMeasure, key);
        else
            answer(key);
        return;
    }
    switch (key) {
    case KeyMeas:
        if (!m_continuous)
            takeSingle();
        else if (m_running)
            stopRun(CodeStop, KeyMeas);
        else
            startRun();
        return;
    case KeyEsc:
        if (m_running) {
            // The run ends with its last reading.
            m_running = false;
            sendMeasurement(KeyEsc);
            return;
        }
        break;
    case KeyEnter:
        // Adds what the display shows to the statistics.
        if (!m_running)
            takeReading(true);
        m_stats.add(m_last.value);
        sendMeasurement(KeyEnter);
        return;
    case KeyUp:
    case KeyDown:
        // Stepping the range by hand ends automatic ranging.
        m_autoRange = false;
        m_range = std::clamp(m_range + (key == KeyUp ? 1 : -1), 0, rangeScale().count - 1);
        takeReading(false);
        break;
    default:
        break;
    }
    answer(key);
}

void MeterEngine::menuKey(uint8_t key)
{
    switch (key) {
    case KeyUp: m_screen = itemUp(m_screen); break;
    case KeyDown: m_screen = itemDown(m_screen); break;
    case KeyEsc: m_screen = parentScreen(m_screen); break;
    case KeyEnter: menuEnter(); return;
    default:
        if (isSoftKey(key))
            m_screen = topMenuOfKey(key);
        break;
    }
    answer(key);
}

void MeterEngine::menuEnter()
{
    const uint8_t K = KeyEnter;
    const uint16_t s = m_screen;
    const uint8_t item = itemOf(s);
    switch (s) {
    // MEMO
    case MenuMemory + 0:  // save measure
        if (!m_memory.full())
            openEditor(ScrSave, EditText, m_lastComment, K);
        else if (m_memory.external())  // a module can be emptied and written again
            showDialog(DlgReplaceMemory, s, K);
        else
            showMessage(ErrMemoryFull, s, K);
        return;
    case MenuMemory + 1:  // load measure
        if (m_memory.empty())
            return showMessage(DlgMemoryEmpty, s, K);
        m_editor.setCellLimit(int(m_memory.count()));
        openEditor(ScrLoad, EditCell, cellNumberText(m_memory.count()), K);
        return;
    case MenuMemory + 2:
    case MenuMemory + 3:  // clear last, clear all: asked first, NO offered
        if (m_memory.empty())
            return showMessage(DlgMemoryEmpty, s, K);
        m_screen = uint16_t(s * 10 + AnswerNo);
        break;
    case MenuMemory + 4:  // autosave: off at once, or choose the interval
        if (m_memoryAutosave)
            m_memoryAutosave = false;
        else
            m_screen = uint16_t(MenuAutosave + m_autosaveCode);
        break;
    case MenuMemory + 5: m_screen = ScrSendToPc; break;
    case AskClearLast:
    case AskClearLast + 1: return answerQuestion(K, &MeterEngine::clearLastCell, MenuMemory + 2);
    case AskClearAll:
    case AskClearAll + 1: return answerQuestion(K, &MeterEngine::clearAllCells, MenuMemory + 3);
    // SET
    case MenuSetup + 0:
        m_autoRange = !m_autoRange;
        if (m_autoRange)
            takeReading(true);
        break;
    case MenuSetup + 1:  // zero setting
        if (m_probePresent)
            return showDialog(DlgCoverProbe, s, K);
        break;
    case MenuSetup + 2:  // calibration: the reading first, then the true value asked for
        if (!m_probePresent)
            break;
        takeReading(true);
        m_screen = ScrCalibration;
        sendMeasurement(K);
        openValueField(ScrCalibration, m_last.value, false);
        return;
    case MenuSetup + 3:  // luminance, with a probe that can
        if (m_probePresent && m_config.luminance)
            m_screen = uint16_t(MenuLuminance + (m_attachment ? m_attachment - 1 : 0));
        break;
    case MenuSetup + 4: m_backlight = !m_backlight; break;
    case MenuSetup + 5: m_screen = MenuMore; break;
    case MenuLuminance:
    case MenuLuminance + 1:
    case MenuLuminance + 2: {
        const uint8_t a = uint8_t(item + 1);
        const bool off = m_luminance && m_attachment == a;
        m_luminance = !off;
        m_attachment = off ? 0 : a;
        takeReading(true);
        break;
    }
    case MenuMore + 0: openEditor(ScrDate, EditDate, dateText(clock()), K); return;
    case MenuMore + 1:
        if (m_alarmOn)
            m_alarmOn = false;
        else
            return openEditor(ScrAlarmDate, EditAlarmDate, dateText(m_alarmDate), K);
        break;
    case MenuMore + 2: m_screen = uint16_t(MenuAutoOff + m_autoOffCode); break;
    case MenuMore + 3: m_screen = uint16_t(MenuRs232 + m_baudIndex - Baud1200); break;
    case MenuMore + 4: m_screen = ScrService; break;
    // MODE
    case MenuMode + 0:
        m_continuous = false;
        m_running = false;
        break;
    case MenuMode + 1: m_continuous = true; break;
    case MenuMode + 2:  // relative: off at once, or the reference asked for
        if (m_relative) {
            m_relative = false;
        } else if (m_probePresent) {
            takeReading(true);
            openValueField(ScrReference, m_last.value, true);
            return;
        }
        break;
    case MenuMode + 3:
        m_integration = !m_integration;
        if (m_integration)
            m_relative = false;
        break;
    case MenuMode + 4: m_screen = uint16_t(AskIntegrationClear + AnswerNo); break;
    case MenuMode + 5: m_screen = MenuStatistics; break;
    case AskIntegrationClear:
    case AskIntegrationClear + 1:
        return answerQuestion(K, &MeterEngine::clearIntegration, MenuMode + 4);
    case MenuStatistics + 0:  // add what the display shows
        if (m_probePresent) {
            if (!m_running)
                takeReading(true);
            m_stats.add(m_last.value);
        }
        break;
    case MenuStatistics + 1: m_screen = uint16_t(AskStatisticsClear + AnswerNo); break;
    case MenuStatistics + 2: m_statisticsAuto = !m_statisticsAuto; break;
    case AskStatisticsClear:
    case AskStatisticsClear + 1:
        return answerQuestion(K, &MeterEngine::clearStatistics, MenuStatistics + 1);
    default:
        if (menuOf(s) && menuOf(s)->number == MenuAutosave) {
            m_autosaveCode = item;
            return openEditor(ScrAutosaveComment, EditText, m_autosaveComment, K);
        }
        if (menuOf(s) && menuOf(s)->number == MenuAutoOff) {
            m_autoOffCode = item;
            m_screen = MenuMore + 2;
        }
        if (menuOf(s) && menuOf(s)->number == MenuRs232) {
            // The answer still leaves at the old rate; the new one follows it.
            m_screen = MenuMore + 3;
            answer(K);
            m_baudIndex = uint8_t(Baud1200 + item);
            return;
        }
        break;
    }
    answer(K);
}

void MeterEngine::answerQuestion(uint8_t key1, void (MeterEngine::*yes)(), uint16_t back)
{
    if (itemOf(m_screen) == AnswerYes)
        (this->*yes)();
    m_screen = back;
    answer(key1);
}

void MeterEngine::recordViewKey(uint8_t key)
{
    const size_t count = m_memory.count();
    switch (key) {
    case KeyUp: m_viewedCell = (m_viewedCell + 1) % count; break;
    case KeyDown: m_viewedCell = (m_viewedCell + count - 1) % count; break;
    case KeyEsc:
        m_editor.setCellLimit(int(count));
        openEditor(ScrLoad, EditCell, cellNumberText(m_viewedCell + 1), key);
        return;
    default:
        if (isSoftKey(key))
            m_screen = topMenuOfKey(key);
        break;
    }
    answer(key);
}

void MeterEngine::sendScreenKey(uint8_t key)
{
    if (key == KeyEnter) {
        // The announcement, then the whole memory as one block; on request
        // the screen's status frame follows at once, so that it shares a
        // read with the block's end.
        sendIdentification(m_memory.blockSize());
        queueFrame(m_memory.block(), true);
        if (m_config.statusAfterMemory)
            queueFrame(statusFrame(statusBlock(key, 0)), true);
        return;
    }
    if (key == KeyEsc)
        m_screen = parentScreen(m_screen);
    else if (isSoftKey(key))
        m_screen = topMenuOfKey(key);
    answer(key);
}

} // namespace qvsim
