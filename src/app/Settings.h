// The program's settings: a small store interface (the user's INI file in
// the program, a map in tests) and the rules for the values kept in it.
#pragma once

#include "serial/LineSettings.h"

#include <QMap>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <memory>
#include <optional>

class QSettings;

namespace qv {

class TComm32VN;

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // False when nothing was ever stored: then nothing is read.
    virtual bool exists() const = 0;
    virtual std::optional<QVariant> value(const QString &name) const = 0;
    // False when the store cannot be written.
    virtual bool setValue(const QString &name, const QVariant &value) = 0;
};

// QSettings of organisation "TAMBRIX", application "QV-7xx", INI format under
// $XDG_CONFIG_HOME.
class IniSettingsStore : public SettingsStore {
public:
    IniSettingsStore();
    ~IniSettingsStore() override;
    bool exists() const override;
    std::optional<QVariant> value(const QString &name) const override;
    bool setValue(const QString &name, const QVariant &value) override;
    QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

class MemorySettingsStore : public SettingsStore {
public:
    bool exists() const override { return !values.isEmpty(); }
    std::optional<QVariant> value(const QString &name) const override;
    bool setValue(const QString &name, const QVariant &value) override;
    QMap<QString, QVariant> values;
    bool writable = true;
};

// The serial link as stored: "Port" (empty: none) and "BaudRate".
struct LinkSettings {
    QString port;
    TBaudRate baudRate = br009600;
};

// Reads "Port" and "BaudRate". A missing port reads as the none name of
// `language`; a none name or an empty text as the empty name; a rate other
// than 1200, 2400, 4800 or 9600 as 9600. False (and the defaults) when the
// store does not exist.
bool readLinkSettings(const SettingsStore &store, uint8_t language, LinkSettings &link);
// Writes the component's port (empty when it is not in its port list or is
// the none choice) and its rate in bit/s.
void writeLinkSettings(SettingsStore &store, const TComm32VN &comm);

} // namespace qv
