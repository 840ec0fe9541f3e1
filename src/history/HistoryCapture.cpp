#include "history/HistoryCapture.h"

#include "history/CellTable.h"
#include "protocol/DateTimeText.h"

namespace qv {

namespace {
const char *const ItemsEn[AutosaveChoices] = {"OFF",        "1 second",   "5 seconds",  "10 seconds",
                                              "15 seconds", "30 seconds", "60 seconds", "set time"};
const char *const ItemsPl[AutosaveChoices] = {"wy\u0142\u0105czony", "1 sekunda", "5 sekund",   "10 sekund",
                                              "15 sekund",           "30 sekund", "60 sekund", "ustaw czas"};
const uint32_t FixedIntervals[AutosaveChoices] = {0, 1000, 5000, 10000, 15000, 30000, 60000, 0};

std::string cellOf(const QString &text)
{
    const QByteArray b = CellBytes(text);
    return std::string(b.constData(), size_t(b.size()));
}

// "before" with the tick counter's wrap-around.
bool before(uint32_t a, uint32_t b)
{
    return !tickReached(a, b);
}
} // namespace

QString NormalizeValue(const QString &text)
{
    QString v = text;
    v.remove(QLatin1Char(' '));
    if (v.isEmpty())
        return v;
    static const QString prefixes = QStringLiteral("afpnum kMGTP");
    const int at = prefixes.indexOf(v.back());
    if (at < 0 || v.back() == QLatin1Char(' '))
        return v;
    v.chop(1);
    return v + QLatin1Char('e') + QString::number(at * 3 - 18);
}

QString AutosaveItemText(uint8_t language, int index)
{
    if (index < 0 || index >= AutosaveChoices)
        return {};
    return language == 0 ? QString::fromUtf8(ItemsPl[index]) : QString::fromLatin1(ItemsEn[index]);
}

uint32_t AutosaveFixedInterval(int index)
{
    return index >= 0 && index < AutosaveChoices ? FixedIntervals[index] : 0;
}

int AutosaveChoiceOf(uint32_t seconds)
{
    if (seconds == 0)
        return 0;
    for (int i = 1; i < AutosaveSetTime; ++i)
        if (FixedIntervals[i] == uint64_t(seconds) * 1000)
            return i;
    return AutosaveSetTime;
}

QString IntervalText(uint8_t language, uint32_t seconds)
{
    const QString n = QString::number(seconds) + QLatin1Char(' ');
    if (language != 0)
        return n + (seconds == 1 ? QStringLiteral("second") : QStringLiteral("seconds"));
    if (seconds == 1)
        return n + QStringLiteral("sekunda");
    const uint32_t m = seconds > 100 ? seconds % 100 : seconds;
    if (m >= 11 && m <= 20)
        return n + QStringLiteral("sekund");
    const uint32_t d = m > 10 ? m % 10 : m;
    return n + (d >= 2 && d <= 4 ? QStringLiteral("sekundy") : QStringLiteral("sekund"));
}

HistoryCapture::HistoryCapture(HistoryStore &store, const Clock &clock) : m_store(store), m_clock(clock)
{
}

int HistoryCapture::MeasureToHistory()
{
    if (m_store.full())
        return -1;
    const TDataMeasQV &m = LastMeas;
    HistoryRow row;
    row[hc::Date] = cellOf(FormatDate(LastInfo.DateTime));
    row[hc::Time] = cellOf(FormatTime(LastInfo.DateTime));
    row[hc::Value] = cellOf(NormalizeValue(m.ValueText));
    if (m.RelativeMode) {
        row[5] = cellOf(NormalizeValue(m.RelativeResultText));
        row[6] = cellOf(NormalizeValue(m.ReferenceText));
    }
    if (m.DoseMode) {
        row[7] = cellOf(NormalizeValue(m.DoseText));
        // A day or more does not fit a time of day: the hours go on counting
        // ("25:00:00"), the rest of the row is kept.
        row[hc::IntegrationTime] = cellOf(FormatElapsed(m.DoseTime));
    }
    if (m.SeriesMode && m.SeriesCount >= 1) {
        row[hc::Count] = cellOf(m.SeriesCountText);
        row[10] = cellOf(NormalizeValue(m.SeriesMinText));
        row[11] = cellOf(NormalizeValue(m.SeriesMaxText));
        row[12] = cellOf(NormalizeValue(m.SeriesAverageText));
        row[13] = cellOf(NormalizeValue(m.SeriesMinToAverageText));
        row[14] = cellOf(NormalizeValue(m.SeriesMinToMaxText));
    }
    row[hc::Notes] = cellOf(m.Description);
    return m_store.addCapturedRow(std::move(row));
}

uint32_t HistoryCapture::nextGridPoint(uint32_t from, uint32_t now) const
{
    // The first point of the grid from + k x interval that lies after now.
    uint32_t t = from + ((now - from) / AutoInterval) * AutoInterval;
    if (tickReached(now, t))
        t += AutoInterval;
    return t;
}

int HistoryCapture::receiveMeas(const TDataMeasQV &meas)
{
    LastMeas = meas;
    const int modeKey = int(meas.DoseMode) + 4 * int(meas.RelativeMode) + 8 * int(meas.AngleCode);
    const bool newSample = modeKey == m_prevModeKey && meas.SeriesCount != m_prevCount;
    m_prevModeKey = modeKey;
    m_prevCount = meas.SeriesCount;

    const uint32_t now = m_clock.ticks();
    if (!(flags.Measuring || newSample) || !autosaveOn() || flags.SearchBusy || AutoInterval == 0)
        return -1;
    if (NextTick != 0 && before(now, NextTick))
        return -1;
    if (NextTick == 0)
        NextTick = now;
    if (SyncTick != 0 && tickReached(now, SyncTick)) {
        SyncTick += ((now - SyncTick) / AutoInterval) * AutoInterval;
        if (now - SyncTick > 1000)   // the grid point was missed
            SyncTick += AutoInterval;
        NextTick = SyncTick;
        SyncTick = 0;
    }
    if (!tickReached(now, NextTick))
        return -1;
    NextTick = nextGridPoint(NextTick, now);
    SyncGlyph = false;
    return MeasureToHistory();
}

void HistoryCapture::startMeas()
{
    if (autosaveRunning())
        m_store.MarkedRow = -1;
    if (LastInfo.SingleMeas || (LastInfo.ContinuousMeas && SyncTick == 0)) {
        SyncTick = NextTick = 0;
        SyncGlyph = false;
    }
}

void HistoryCapture::stopMeas()
{
    SyncTick = NextTick = 0;
    SyncGlyph = false;
}

int HistoryCapture::pressInsert()
{
    if (!autosaveOn())
        return MeasureToHistory();
    const uint32_t now = m_clock.ticks();
    SyncTick = now;
    NextTick = now + AutoInterval;
    SyncGlyph = true;
    return -1;
}

bool HistoryCapture::choose(int index, std::optional<uint32_t> seconds)
{
    if (index < 0 || index >= AutosaveChoices)
        return false;
    if (index == AutoIndex && index != AutosaveSetTime)
        return false;
    const uint32_t now = m_clock.ticks();
    const uint32_t old = AutoInterval;
    std::optional<uint32_t> fresh;
    if (index == 0) {
        SyncGlyph = false;
        AutoInterval = SyncTick = NextTick = 0;
    } else if (index == AutosaveSetTime) {
        if (!seconds || *seconds < 1 || *seconds > 65535)
            return false;   // cancelled: the earlier choice stays in force
        fresh = *seconds * 1000;
    } else {
        fresh = FixedIntervals[index];
    }
    bool warn = false;
    if (fresh && *fresh != old) {
        if (NextTick > 0 && NextTick >= old) {
            uint32_t t = NextTick - old + *fresh;
            if (before(t, NextTick) && before(t, now)) {
                t += ((now - t) / *fresh) * *fresh;
                if (before(t, now))
                    t += *fresh;
            }
            NextTick = t;
        }
        AutoInterval = *fresh;
        warn = AutoInterval > 1000 && flags.MeterOn && LastInfo.SingleMeas;
    }
    AutoIndex = index;
    return warn;
}

void HistoryCapture::closeUp()
{
    if (!autosaveOn() || NextTick == 0 || AutoInterval == 0)
        return;
    const uint32_t now = m_clock.ticks();
    if (before(NextTick, now))
        NextTick = nextGridPoint(NextTick, now);
}

} // namespace qv
