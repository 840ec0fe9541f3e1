#include "cli/EventJson.h"

#include "protocol/Cp1250.h"

#include <QDate>

#include <charconv>
#include <cmath>
#include <cstdio>

namespace qv::cli {

// One JSON object being written, members in the order added.
class EventJson::Object {
public:
    explicit Object(const char *event) { m_text = "{\"event\":\"" + QByteArray(event) + '"'; }
    Object &raw(const char *name, const QByteArray &value)
    {
        m_text += ",\"" + QByteArray(name) + "\":" + value;
        return *this;
    }
    Object &num(const char *name, qint64 v) { return raw(name, QByteArray::number(v)); }
    Object &real(const char *name, float v) { return raw(name, jsonSingle(v)); }
    Object &flag(const char *name, bool v) { return raw(name, v ? "true" : "false"); }
    Object &text(const char *name, const QString &v) { return raw(name, jsonString(v)); }
    Object &date(const char *name, double v) { return raw(name, jsonDateTime(v)); }
    template <typename T, size_t N>
    Object &array(const char *name, const std::array<T, N> &values)
    {
        QByteArray list = "[";
        for (size_t i = 0; i < N; ++i) {
            if (i)
                list += ',';
            if constexpr (std::is_same_v<T, float>)
                list += jsonSingle(values[i]);
            else if constexpr (std::is_same_v<T, QString>)
                list += jsonString(values[i]);
            else
                list += QByteArray::number(values[i]);
        }
        return raw(name, list + "]");
    }
    QByteArray finish() { return m_text + '}'; }

private:
    QByteArray m_text;
};

QByteArray EventJson::jsonString(const QString &s)
{
    QByteArray out = "\"";
    for (QChar c : s) {
        const char16_t u = c.unicode();
        switch (u) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(u));
                out += buf;
            } else {
                out += QString(c).toUtf8();
            }
        }
    }
    return out + '"';
}

QByteArray EventJson::jsonSingle(float v)
{
    if (!std::isfinite(v))
        return "null";
    // The shortest text that reads back as the same Single: the meter's 5.2
    // is written 5.2, not as the nearest double's digits (5.19999981).
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, v);
    return QByteArray(buf, qsizetype(result.ptr - buf));
}

QByteArray EventJson::jsonDateTime(double t)
{
    // Days since 30 December 1899; whole seconds of the time of day.
    if (!std::isfinite(t) || std::fabs(t) > 3e6)
        return "null";
    const double day = std::floor(t);
    qint64 ms = qint64(std::llround((t - day) * 86400000.0));
    qint64 days = qint64(day);
    if (ms >= 86400000) {
        ms -= 86400000;
        ++days;
    }
    const QDate date = QDate(1899, 12, 30).addDays(days);
    const qint64 secs = ms / 1000;
    char buf[40];
    std::snprintf(buf, sizeof buf, "\"%04d-%02d-%02dT%02d:%02d:%02d\"", date.year(), date.month(),
                  date.day(), int(secs / 3600), int(secs / 60 % 60), int(secs % 60));
    return buf;
}

EventJson::EventJson(TComm32QV &comm, std::function<void(const QByteArray &)> sink,
                     std::function<qint64()> timestamp)
    : m_sink(std::move(sink)), m_timestamp(std::move(timestamp))
{
    auto notify = [this](const char *name) {
        return [this, name] {
            Object o(name);
            emitObject(o);
        };
    };
    comm.OnStartMeas = notify("OnStartMeas");
    comm.OnStopMeas = notify("OnStopMeas");
    comm.OnMeterON = notify("OnMeterON");
    comm.OnMeterOFF = notify("OnMeterOFF");

    comm.OnCOMStatus = [this](int code, const QString &text) {
        Object o("OnCOMStatus");
        o.num("code", code).text("text", text);
        emitObject(o);
    };
    comm.OnRecFrame = [this](const uint8_t *buf, uint32_t size) {
        Object o("OnRecFrame");
        o.num("size", size).raw(
            "hex", '"' + QByteArray(reinterpret_cast<const char *>(buf), qsizetype(size)).toHex() + '"');
        emitObject(o);
    };
    comm.OnProgressMemo = [this](int32_t total, int32_t cell, int32_t progress) {
        Object o("OnProgressMemo");
        o.num("Total", total).num("Cell", cell).num("Progress", progress);
        emitObject(o);
    };
    comm.OnReceiveMemo = [this](const uint8_t *buf, uint32_t size) {
        Object o("OnReceiveMemo");
        o.num("size", size).text("text", FromCp1250(reinterpret_cast<const char *>(buf), int(size)));
        emitObject(o);
    };
    comm.OnReceiveInfo = [this](const TDataInfoQV &r) {
        Object o("OnReceiveInfo");
        o.flag("ProbePresent", r.ProbePresent).flag("LuxProbe", r.LuxProbe)
            .flag("SingleMeas", r.SingleMeas).flag("ContinuousMeas", r.ContinuousMeas)
            .flag("RelativeMode", r.RelativeMode).flag("DoseMode", r.DoseMode)
            .flag("SeriesRunning", r.SeriesRunning).flag("AutoRange", r.AutoRange)
            .flag("StatAutoSave", r.StatAutoSave).flag("MemoAutoSave", r.MemoAutoSave)
            .flag("LuminanceMode", r.LuminanceMode).flag("AlarmOn", r.AlarmOn)
            .flag("BacklightOn", r.BacklightOn).flag("EnglishCharset", r.EnglishCharset)
            .num("RangeCount", r.RangeCount).num("RangeIndex", r.RangeIndex)
            .num("MenuCode", r.MenuCode).num("MemoCells", r.MemoCells)
            .num("MemoLevel", r.MemoLevel).flag("ExtMemory", r.ExtMemory)
            .num("BatteryLevel", r.BatteryLevel).real("BatteryVoltage", r.BatteryVoltage)
            .num("AutoSaveTime", r.AutoSaveTime).num("AutoOffTime", r.AutoOffTime)
            .num("BaudRate", r.BaudRate).date("DateTime", r.DateTime);
        emitObject(o);
    };
    comm.OnReceiveInfoMeter = [this](const TInfoMeterQV &r) {
        Object o("OnReceiveInfoMeter");
        o.date("BuildDate", r.BuildDate).text("FirmwareVersion", r.FirmwareVersion)
            .text("ProbeVariant", r.ProbeVariant).array("Permissions", r.Permissions)
            .num("ProbeCode", r.ProbeCode).num("RangeCount", r.RangeCount)
            .num("RangeMultiplicity", r.RangeMultiplicity).num("UnitKind", r.UnitKind)
            .num("ConverterRange", r.ConverterRange).real("LowerLimit", r.LowerLimit)
            .real("UpperLimit", r.UpperLimit).array("RangeLower", r.RangeLower)
            .array("RangeUpper", r.RangeUpper).text("LowerText", r.LowerText)
            .text("UpperText", r.UpperText).array("RangeLowerText", r.RangeLowerText)
            .array("RangeUpperText", r.RangeUpperText)
            .flag("LuminanceCapable", r.LuminanceCapable)
            .num("CalibrationCoefficient", r.CalibrationCoefficient)
            .flag("Luminance", r.Luminance);
        emitObject(o);
    };
    comm.OnReceiveMeas = [this](const TDataMeasQV &r) {
        Object o("OnReceiveMeas");
        o.flag("Complete", r.Complete).flag("ProbePresent", r.ProbePresent)
            .num("ProbeCode", r.ProbeCode).real("Value", r.Value)
            .flag("OverRange", r.OverRange).flag("UnderRange", r.UnderRange)
            .text("ValueText", r.ValueText).num("BarPosition", r.BarPosition)
            .real("RelativeResult", r.RelativeResult).real("Reference", r.Reference)
            .text("RelativeResultText", r.RelativeResultText)
            .text("ReferenceText", r.ReferenceText).real("DoseValue", r.DoseValue)
            .num("DoseTime", r.DoseTime).flag("DoseOverflow", r.DoseOverflow)
            .text("DoseText", r.DoseText).text("DoseTimeText", r.DoseTimeText)
            .num("SeriesCount", r.SeriesCount).real("SeriesMin", r.SeriesMin)
            .real("SeriesMax", r.SeriesMax).real("SeriesAverage", r.SeriesAverage)
            .real("SeriesMinToAverage", r.SeriesMinToAverage)
            .real("SeriesMinToMax", r.SeriesMinToMax)
            .text("SeriesCountText", r.SeriesCountText).text("SeriesMinText", r.SeriesMinText)
            .text("SeriesMaxText", r.SeriesMaxText)
            .text("SeriesAverageText", r.SeriesAverageText)
            .text("SeriesMinToAverageText", r.SeriesMinToAverageText)
            .text("SeriesMinToMaxText", r.SeriesMinToMaxText).flag("DoseMode", r.DoseMode)
            .flag("SeriesMode", r.SeriesMode).flag("RelativeMode", r.RelativeMode)
            .num("AngleCode", r.AngleCode).flag("RangeChange", r.RangeChange)
            .text("Description", r.Description);
        emitObject(o);
    };
    comm.OnReceiveText = [this](const TDataTextQV &r) {
        Object o("OnReceiveText");
        o.num("Length", r.Length).text("Text", r.Text).num("SentLength", r.SentLength)
            .text("Mode", FromCp1250(&r.Mode, 1)).num("CursorSent", r.CursorSent)
            .num("Byte45", r.Byte45).num("Byte46", r.Byte46).num("Cursor", r.Cursor)
            .num("CursorType", r.CursorType);
        emitObject(o);
    };
}

void EventJson::emitObject(Object &o)
{
    if (m_timestamp)
        o.num("t_ms", m_timestamp());
    m_sink(o.finish());
}

} // namespace qv::cli
