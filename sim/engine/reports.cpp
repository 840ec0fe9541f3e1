// What the meter tells the program: its status block in every answer, the
// measurement, text and cell frames, and the identification frame.
#include "engine/engine.h"

#include "engine/keys.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace qvsim {

namespace {

std::array<uint8_t, 16> padded(const std::string &s)
{
    std::array<uint8_t, 16> a;
    a.fill(' ');
    for (size_t i = 0; i < a.size() && i < s.size(); ++i)
        a[i] = uint8_t(s[i]);
    return a;
}

TextBlock plainText(const std::string &s, uint8_t mode)
{
    TextBlock t;
    t.text = padded(s);
    t.length = 16;
    t.mode = mode;
    return t;
}

} // namespace

StatusBlock MeterEngine::statusBlock(uint8_t key1, uint8_t key2) const
{
    StatusBlock st;
    st.key1 = key1;
    st.key2 = key2;
    uint16_t s = m_continuous ? StContinuous : StSingle;
    if (m_relative) s |= StRelative;
    if (m_integration) s |= StIntegration;
    if (m_autoRange) s |= StAutoRange;
    if (m_statisticsAuto) s |= StStatisticsAuto;
    if (m_memoryAutosave) s |= StMemoryAutosave;
    if (m_luminance) s |= StLuminance;
    if (!m_probePresent) s |= StNoProbe;
    if (m_probePresent && m_config.luminance) s |= StLuminancePossible;
    if (m_last.over) s |= StRangeOver;
    if (m_integration && m_integrator.over) s |= StIntegrationOver;
    if (m_memory.external()) s |= StExternalMemory;
    if (m_alarmOn) s |= StAlarm;
    if (m_backlight) s |= StBacklight;
    if (m_english) s |= StEnglishTable;
    st.status = s;
    if (m_probePresent) {
        const RangeScale scale = rangeScale();
        st.probeCode = m_probeCode;
        st.rangeCount = uint8_t(scale.count);
        st.rangeIndex = uint8_t(m_range);
        st.decades = uint8_t(scale.decades);
        st.attachment = m_luminance ? m_attachment : 0;
        st.unitRow = m_probe.unitRow;
        // A luminance-capable probe counts its converter two ranges up.
        st.converter = uint8_t(m_probe.converter + (m_config.luminance ? 2 : 0));
        st.exponent0 = m_probe.exponent0;
    }
    st.screen = m_screen;
    st.memoryWord = m_memory.occupancyWord();
    st.battery = uint8_t(0x80 | m_battery);
    st.autosaveCode = m_autosaveCode;
    st.autoOffCode = m_autoOffCode;
    st.baudIndex = m_baudIndex;
    st.clock = toBcd(clock());
    return st;
}

MeasurementBlock MeterEngine::measurementBlock(const Reading &r) const
{
    MeasurementBlock m;
    if (!m_probePresent)
        return m;
    m.value = float(r.value);
    m.exponent = rangeScale().exponentCode(r.range);
    m.limitCode = r.limitCode;
    if (m_relative) {
        m.setRelative(1, float(m_reference), float(r.value / m_reference * 100.0));
    } else if (m_integration) {
        const Integrator &i = m_integrator;
        m.setSeries(i.seconds(), float(i.integral), float(i.min), float(i.max));
    } else {
        m.setSeries(m_stats.count, float(m_stats.sum), float(m_stats.min), float(m_stats.max));
    }
    return m;
}

void MeterEngine::answer(uint8_t key1, uint8_t key2)
{
    const StatusBlock st = statusBlock(key1, key2);
    if (m_screen == DlgAlarm || m_screen == DlgAlarmOverMeasure) {
        queueFrame(textFrame(st, plainText(m_alarmMessage, EditAlarmMessage)));
    } else if (m_screen == DlgCalibration) {
        // The new factor and the old one, seven digits each. The length byte
        // counts only the first field: the program takes both from their places.
        char s[20];
        std::snprintf(s, sizeof s, " %07d %07d", int(m_newCalibration % 10000000),
                      int(m_calibration % 10000000));
        TextBlock t = plainText(s, EditNumber);
        t.length = 8;
        queueFrame(textFrame(st, t));
    } else if (isDialog(m_screen)) {
        queueFrame(statusFrame(st));
    } else if (m_editing) {
        uint8_t extra = 0;
        if (m_editor.mode() == EditNumber) {
            // The unit's prefix as a base (high nibble) and steps up from it.
            const int lo = m_editor.prefixLo();
            extra = uint8_t(((13 + lo) << 4) | ((m_editor.prefixStep() - lo) & 0x0F));
        }
        queueFrame(textFrame(st, m_editor.block(extra)));
        if (m_screen == ScrLoad) {
            const int n = std::atoi(m_editor.text().c_str());
            if (n >= 1 && size_t(n) <= m_memory.count())
                sendCellView(FramePreview, size_t(n - 1), key1);
        }
    } else if (m_screen == ScrRecordView) {
        queueFrame(statusFrame(st));
        sendCellView(FrameRecordView, m_viewedCell, key1);
    } else if (m_screen == ScrMeasure && m_running) {
        queueFrame(measurementFrame(st, measurementBlock(m_last)));
    } else {
        queueFrame(statusFrame(st));
    }
}

void MeterEngine::sendMeasurement(uint8_t key1, uint8_t key2)
{
    queueFrame(measurementFrame(statusBlock(key1, key2), measurementBlock(m_last)));
}

void MeterEngine::sendIdentification(uint32_t blockSize)
{
    Identification id = m_ident;
    id.calibration = m_calibration;
    const uint8_t key1 = blockSize ? uint8_t(KeyEnter) : uint8_t(CmdIdentify);
    queueFrame(identificationFrame(statusBlock(key1, 0), blockSize, id));
}

void MeterEngine::sendCellView(uint8_t type, size_t index, uint8_t key1)
{
    queueFrame(cellFrame(type, m_memory.cell(index), statusBlock(key1, 0)));
}

Cell MeterEngine::cellOfLastReading(const std::string &comment) const
{
    StatusBlock st = statusBlock(0, 0);
    st.screen = ScrMeasure;  // stored as it stood on the measurement screen
    st.memoryWord = uint16_t((m_memory.count() + 1) << 6);
    return makeCell(st, measurementBlock(m_last), padded(comment));
}

} // namespace qvsim
