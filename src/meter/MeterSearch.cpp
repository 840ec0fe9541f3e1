#include "meter/MeterSearch.h"

#include "meter/MeterSearchTexts.h"

#include <algorithm>

namespace qv {

const std::array<TBaudRate, 4> MeterSearch::RateSteps = {br009600, br004800, br002400, br001200};

namespace {
// The probe components read at most a status frame at a time.
constexpr uint16_t ProbeReceiveBuffer = 128;
} // namespace

MeterSearch::MeterSearch(uint8_t language, const QStringList &ports, const SerialPlatform &platform,
                         const SearchTiming &timing, ProbeOpener opener)
    : m_language(language), m_timing(timing),
      m_clock(platform.clock ? platform.clock : &systemClock()), m_opener(std::move(opener))
{
    if (!m_opener)
        m_opener = [](TComm32QV &comm, const QString &port) { comm.setCOMPort(port); };
    TimerFactory &timers = platform.timers ? *platform.timers : qtTimers();
    m_timer = timers.create();
    m_timer->setInterval(m_timing.tickMs);
    m_timer->setEnabled(false);
    m_timer->onTimeout = [this] { onTimer(); };

    for (const QString &name : ports) {
        if (name.isEmpty() || isNoneName(name))
            continue;
        Entry entry;
        entry.name = name;
        entry.comm = std::make_unique<TComm32QV>(language, platform);
        entry.comm->setSizeBufRXD(ProbeReceiveBuffer);
        entry.comm->setBaudRate(RateSteps[0]);
        m_entries.push_back(std::move(entry));
    }
    // Wired once the table stands: handlers index into it.
    for (size_t i = 0; i < m_entries.size(); ++i) {
        TComm32QV &comm = *m_entries[i].comm;
        comm.OnRecFrame = [this, i](const uint8_t *, uint32_t) { onAnswer(int(i)); };
        comm.OnCOMStatus = [this, i](int code, const QString &) { onStatus(int(i), code); };
    }
}

MeterSearch::~MeterSearch()
{
    m_timer->setEnabled(false);
    m_timer->onTimeout = nullptr;
    for (Entry &entry : m_entries) {
        entry.comm->OnRecFrame = nullptr;
        entry.comm->OnCOMStatus = nullptr;
        entry.comm->Close();
    }
}

void MeterSearch::Start()
{
    if (m_started)
        return;
    m_started = true;
    m_startTick = now();
    m_lastRepoll = m_startTick;
    if (m_entries.empty())
        return;
    m_timer->setEnabled(true);
    for (size_t i = 0; i < m_entries.size() && !m_finished; ++i) {
        m_opener(*m_entries[i].comm, m_entries[i].name);
        poll(int(i));
    }
}

void MeterSearch::Stop()
{
    if (m_finished)
        return;
    m_stopped = true;
    finish();
}

bool MeterSearch::inFirstPhase() const
{
    return now() - m_startTick < m_timing.phaseMs;
}

// Asks for a status frame; the deadline allows for the request, a status
// frame, the meter's answer time and one timer tick.
void MeterSearch::poll(int i)
{
    Entry &entry = m_entries[size_t(i)];
    TComm32QV &comm = *entry.comm;
    entry.deadline = now() + comm.TransmitTime(1) + comm.TransmitTime(50) + comm.MaxRespTime()
        + comm.TimeOut() + uint32_t(m_timing.tickMs);
    // A port that did not open gets its deadline all the same: it then moves
    // through the rates like a silent one.
    if (comm.IsOpen())
        comm.SendKey(kcI);
}

// Any valid frame from a port means a meter is there.
void MeterSearch::onAnswer(int i)
{
    Entry &entry = m_entries[size_t(i)];
    if (m_stopped || m_finished || !Probing(entry.state))
        return;
    const Result result{entry.name, RateSteps[size_t(entry.state - StateFirstStep)]};
    entry.state = result.rate + StateRateBase;
    const auto at = std::upper_bound(m_results.begin(), m_results.end(), result,
                                     [](const Result &a, const Result &b) {
                                         return a.port.compare(b.port, Qt::CaseInsensitive) < 0;
                                     });
    m_results.insert(at, result);
    ++m_found;
    if (OnMeterFound)
        OnMeterFound(result);
}

void MeterSearch::onStatus(int i, int code)
{
    if (m_stopped || m_finished || code < stCommLost)
        return;
    Entry &entry = m_entries[size_t(i)];
    const bool probing = Probing(entry.state);
    if ((code == stBusy || code == stPortNotFound) && probing) {
        entry.state = RateSteps[size_t(entry.state - StateFirstStep)] + StateRateBase;
        ++m_failed;
        return;
    }
    if (inFirstPhase()) {
        poll(i);
        return;
    }
    if (code != stCommLost || !probing)
        return;
    ++entry.state;
    if (entry.state < StateSilent) {
        // Reopening at the new rate may itself report busy or not found,
        // which lands here again and settles the port.
        entry.comm->setBaudRate(RateSteps[size_t(entry.state - StateFirstStep)]);
        poll(i);
    } else {
        ++m_failed;
    }
}

void MeterSearch::onTimer()
{
    if (OnTick)
        OnTick();
    if (m_finished || m_stopped)
        return;
    if (m_found + m_failed == PortCount()) {
        finish();
        return;
    }
    if (inFirstPhase())
        return;
    const uint32_t t = now();
    for (size_t i = 0; i < m_entries.size() && !m_finished; ++i) {
        if (Probing(m_entries[i].state) && tickReached(t, m_entries[i].deadline))
            onStatus(int(i), stCommLost);
    }
    if (!m_finished && t - m_lastRepoll >= m_timing.repollMs) {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (Probing(m_entries[i].state))
                poll(int(i));
        }
        m_lastRepoll = t;
    }
}

void MeterSearch::finish()
{
    m_finished = true;
    m_timer->setEnabled(false);
    for (Entry &entry : m_entries)
        entry.comm->Close();
    Outcome outcome = Outcome::NoMeter;
    if (m_found == 1) {
        outcome = Outcome::OneMeter;
    } else if (m_found > 1) {
        outcome = Outcome::Choose;
        m_numbered = true;
    }
    if (OnFinished)
        OnFinished(outcome);
}

QString MeterSearch::InfoText() const
{
    if (m_found == 0)
        return searchtext::looking(m_language);
    return searchtext::countText(m_language, m_found) + QStringLiteral("\r\n")
        + searchtext::lookingForOthers(m_language);
}

QStringList MeterSearch::ResultItems() const
{
    QStringList items;
    const int total = int(m_results.size());
    for (int n = 0; n < total; ++n) {
        const QString &port = m_results[size_t(n)].port;
        items << (m_numbered ? searchtext::resultItem(m_language, n + 1, total, port) : port);
    }
    return items;
}

QString MeterSearch::SelectedPort(int row) const
{
    if (row < 0 || row >= int(m_results.size()))
        return noneName(m_language);
    return m_results[size_t(row)].port;
}

QString MeterSearch::SelectedBaudName(int row) const
{
    const TBaudRate rate =
        row >= 0 && row < int(m_results.size()) ? m_results[size_t(row)].rate : RateSteps[0];
    return QString::fromLatin1(BaudRateNames[rate]);
}

} // namespace qv
