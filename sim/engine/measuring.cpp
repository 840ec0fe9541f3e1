// Taking readings: single measurements, continuous runs, the figures of the
// relative, integration and statistics modes, autosave to memory, and the
// earlier measurements a meter fresh from the field holds in its memory.
#include "engine/engine.h"

#include "engine/keys.h"

#include <algorithm>
#include <random>

namespace qvsim {

namespace {

uint32_t autosaveSeconds(uint8_t code)
{
    static const uint32_t steps[5] = {5, 10, 15, 30, 60};
    return steps[code % 5] * (code >= 5 ? 60 : 1);
}

// The ranges a probe offers in irradiance or, with an attachment, in
// luminance mode: the narrower the attachment's angle, the higher the ranges.
RangeScale scaleFor(const ProbeSpec &probe, bool luminance, uint8_t attachment)
{
    RangeScale s;
    s.count = probe.rangeCount;
    s.decades = probe.decades;
    s.rangeNumber = probe.converter + (luminance ? 2 : 0);
    s.exponent0 = probe.exponent0 + (luminance ? 3 - attachment : 0);
    return s;
}

} // namespace

RangeScale MeterEngine::rangeScale() const
{
    return scaleFor(m_probe, m_luminance, m_attachment);
}

Reading MeterEngine::takeReading(bool settle)
{
    if (!m_probePresent) {
        m_last = Reading();
        return m_last;
    }
    const RangeScale scale = rangeScale();
    const double light = m_luminance ? m_lamp.luminance(m_now) : m_lamp.irradiance(m_now);
    const double v = light * m_calibration / m_factoryCalibration + m_zeroOffset;
    if (m_autoRange && m_moveTo >= 0)
        m_range = m_moveTo;
    m_moveTo = -1;
    if (m_autoRange && settle)
        m_range = scale.bestRange(v);
    m_range = std::clamp(m_range, 0, scale.count - 1);
    m_last = classify(scale, m_range, v);
    // In a run the range moves for the next reading; this one shows the limit.
    if (m_autoRange && ((m_last.over && m_range < scale.count - 1) || (m_last.under && m_range > 0)))
        m_moveTo = scale.bestRange(v);
    return m_last;
}

void MeterEngine::takeSingle()
{
    takeReading(true);
    if (m_statisticsAuto)
        m_stats.add(m_last.value);
    // One complete measurement, then the run it opened is over.
    sendMeasurement(KeyMeas);
    queueFrame(statusFrame(statusBlock(CodeStop, KeyMeas)));
}

void MeterEngine::startRun()
{
    m_running = true;
    queueFrame(statusFrame(statusBlock(KeyMeas, 0)));
    takeReading(true);
    accumulate(m_last, 0);
    sendMeasurement(KeyMeas);
    m_nextSample = m_now + SampleMs;
    m_nextAutosave = m_now + autosaveSeconds(m_autosaveCode) * 1000;
}

void MeterEngine::stopRun(uint8_t key1, uint8_t key2)
{
    m_running = false;
    queueFrame(statusFrame(statusBlock(key1, key2)));
}

void MeterEngine::sample()
{
    m_nextSample += SampleMs;
    if (m_probeFault) {
        m_running = false;
        if (m_screen == ScrMeasure)
            showDialog(ErrProbeComm, ScrMeasure, 0);
        return;
    }
    takeReading(false);
    accumulate(m_last, SampleMs);
    // Off the measurement screen the run goes on without telling anyone.
    if (m_screen == ScrMeasure)
        sendMeasurement(KeyMeas);
}

void MeterEngine::accumulate(const Reading &r, uint32_t dtMs)
{
    if (m_statisticsAuto)
        m_stats.add(r.value);
    if (m_integration)
        m_integrator.add(r.value, dtMs, r.over);
}

void MeterEngine::autosave()
{
    m_nextAutosave += autosaveSeconds(m_autosaveCode) * 1000;
    if (m_memory.save(cellOfLastReading(m_autosaveComment)))
        return;
    m_memoryAutosave = false;
    const bool onMeasure = m_screen == ScrMeasure;
    if (!isDialog(m_screen) && !m_editing)
        showDialog(onMeasure ? ErrMemoryFullMeasure : ErrMemoryFull, m_screen, 0);
}

void MeterEngine::fillMemory(int cells)
{
    if (!m_probePresent || cells <= 0)
        return;
    static const char *const comments[] = {"LAB 1", "DESK 4", "WINDOW", "LAMP A", "", "HALL 2",
                                           "BENCH", "OFFICE 12", "LED PANEL", "STAIRS"};
    std::mt19937 random(m_config.seed * 7919u + 17u);
    std::uniform_real_distribution<double> spread(0.55, 1.45);
    const int64_t now = m_clock.secondsAt(m_now);
    const int total = std::min<int>(cells, int(m_memory.capacity()));
    for (int i = 0; i < total; ++i) {
        // Measurements every few minutes, of the kinds a user takes.
        const int kind = i % (m_config.luminance ? 5 : 4);
        const bool luminance = kind == 4;
        const uint8_t attachment = luminance ? uint8_t(1 + i % 3) : 0;
        const RangeScale scale = scaleFor(m_probe, luminance, attachment);
        const double v = (luminance ? m_probe.lampLuminance : m_probe.lamp) * spread(random);
        const Reading r = classify(scale, scale.bestRange(v), v);

        StatusBlock st = statusBlock(0, 0);
        st.status &= uint16_t(~(StSingle | StContinuous | StRelative | StIntegration | StStatisticsAuto
                                | StMemoryAutosave | StLuminance | StRangeOver | StIntegrationOver));
        st.screen = ScrMeasure;
        st.rangeIndex = uint8_t(r.range);
        st.attachment = attachment;
        st.memoryWord = uint16_t((i + 1) << 6);
        st.clock = toBcd(fromSeconds(now - int64_t(total - i) * 437));

        MeasurementBlock m;
        m.value = float(r.value);
        m.exponent = scale.exponentCode(r.range);
        m.limitCode = r.limitCode;
        const uint32_t count = 10 + random() % 50;
        switch (kind) {
        case 1:  // statistics of a series
            st.status |= StContinuous | StStatisticsAuto;
            m.setSeries(count, float(v * count), float(v * 0.97), float(v * 1.03));
            break;
        case 2: {  // relative to a reference
            const double reference = v * spread(random);
            st.status |= StSingle | StRelative;
            m.setRelative(1, float(reference), float(v / reference * 100.0));
            break;
        }
        case 3: {  // an integration of up to ten hours
            const uint32_t seconds = 60 + random() % 36000;
            st.status |= StContinuous | StIntegration;
            m.setSeries(seconds, float(v * seconds), float(v * 0.95), float(v * 1.04));
            break;
        }
        case 4:
            st.status |= StSingle | StLuminance;
            break;
        default:
            st.status |= StSingle;
            break;
        }
        std::array<uint8_t, 16> comment;
        comment.fill(' ');
        const std::string text = comments[i % 10];
        std::copy(text.begin(), text.end(), comment.begin());
        m_memory.save(makeCell(st, m, comment));
    }
}

} // namespace qvsim
