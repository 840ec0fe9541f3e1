// The records the meter's frames decode into. Each lives inside the protocol
// component and is handed to its event by reference, valid during the call.
// Texts are the meter's 8-bit (Windows-1250) texts held as QString; the short
// display texts are cut to 8 characters, as on the meter.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace qv {

// Days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

constexpr int ShortTextCapacity = 8;

// A measurement: frame types 0x02, 0x00 and 0x05.
struct TDataMeasQV {
    bool Complete = false;
    bool ProbePresent = false;
    uint8_t ProbeCode = 0;
    float Value = 0;
    bool OverRange = false;
    bool UnderRange = false;
    QString ValueText;
    int16_t BarPosition = 0;
    float RelativeResult = 0;
    float Reference = 0;
    QString RelativeResultText;
    QString ReferenceText;
    float DoseValue = 0;
    int32_t DoseTime = 0;
    bool DoseOverflow = false;
    QString DoseText;
    QString DoseTimeText;
    int32_t SeriesCount = 0;
    float SeriesMin = 0;
    float SeriesMax = 0;
    float SeriesAverage = 0;
    float SeriesMinToAverage = 0;
    float SeriesMinToMax = 0;
    QString SeriesCountText;
    QString SeriesMinText;
    QString SeriesMaxText;
    QString SeriesAverageText;
    QString SeriesMinToAverageText;
    QString SeriesMinToMaxText;
    bool DoseMode = false;
    bool SeriesMode = false;
    bool RelativeMode = false;
    uint8_t AngleCode = 0;
    bool RangeChange = false;
    QString Description;
};

// The status block: frame types 0x01, 0x02 and 0x06.
struct TDataInfoQV {
    bool ProbePresent = false;
    bool LuxProbe = false;
    bool SingleMeas = false;
    bool ContinuousMeas = false;
    bool RelativeMode = false;
    bool DoseMode = false;
    bool SeriesRunning = false;
    bool AutoRange = false;
    bool StatAutoSave = false;
    bool MemoAutoSave = false;
    bool LuminanceMode = false;
    bool AlarmOn = false;
    bool BacklightOn = false;
    bool EnglishCharset = false;
    uint8_t RangeCount = 0;
    uint8_t RangeIndex = 0;
    uint16_t MenuCode = 0;
    uint16_t MemoCells = 0;
    uint8_t MemoLevel = 0;
    bool ExtMemory = false;
    uint8_t BatteryLevel = 0;
    float BatteryVoltage = 0;
    uint16_t AutoSaveTime = 0;
    uint8_t AutoOffTime = 0;
    uint32_t BaudRate = 0;
    TDateTime DateTime = 0;
};

// The identification frame, type 0x03.
struct TInfoMeterQV {
    TDateTime BuildDate = 0;
    QString FirmwareVersion;   // up to 4 characters
    QString ProbeVariant;      // one digit
    std::array<uint8_t, 24> Permissions{};
    uint8_t ProbeCode = 0;
    uint8_t RangeCount = 0;
    uint8_t RangeMultiplicity = 0;
    uint8_t UnitKind = 0;
    uint8_t ConverterRange = 0;
    float LowerLimit = 0;
    float UpperLimit = 0;
    std::array<float, 3> RangeLower{};
    std::array<float, 3> RangeUpper{};
    QString LowerText;
    QString UpperText;
    std::array<QString, 3> RangeLowerText;
    std::array<QString, 3> RangeUpperText;
    uint8_t LuminanceCapable = 0;
    int32_t CalibrationCoefficient = 0; // fixed point: value / 8388607
    uint8_t Luminance = 0;
};

// The meter's text editor: frame type 0x06.
struct TDataTextQV {
    uint8_t Length = 0;      // min(sent length, 16)
    QString Text;            // the first Length characters
    QString Chars;           // all 16 characters, whatever the length says
    uint8_t SentLength = 0;
    char Mode = 0;           // "a" alarm message, "b" alarm date, "c" time, "d" date,
                             // "h" password, "k" calibration/reference, "m" cell, "t" text
    uint8_t CursorSent = 0;
    uint8_t Byte45 = 0;
    uint8_t Byte46 = 0;
    uint8_t Cursor = 0;
    uint8_t CursorType = 0;
};

} // namespace qv
