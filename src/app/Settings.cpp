#include "app/Settings.h"

#include "serial/TComm32VN.h"

#include <QFileInfo>
#include <QSettings>

namespace qv {

IniSettingsStore::IniSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("TAMBRIX"), QStringLiteral("QV-7xx")))
{
}

IniSettingsStore::~IniSettingsStore() = default;

bool IniSettingsStore::exists() const
{
    return QFileInfo::exists(m_settings->fileName());
}

std::optional<QVariant> IniSettingsStore::value(const QString &name) const
{
    if (!m_settings->contains(name))
        return std::nullopt;
    return m_settings->value(name);
}

bool IniSettingsStore::setValue(const QString &name, const QVariant &value)
{
    if (!m_settings->isWritable())
        return false;
    m_settings->setValue(name, value);
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

QString IniSettingsStore::fileName() const
{
    return m_settings->fileName();
}

std::optional<QVariant> MemorySettingsStore::value(const QString &name) const
{
    const auto it = values.find(name);
    if (it == values.end())
        return std::nullopt;
    return *it;
}

bool MemorySettingsStore::setValue(const QString &name, const QVariant &value)
{
    if (!writable)
        return false;
    values.insert(name, value);
    return true;
}

bool readLinkSettings(const SettingsStore &store, uint8_t language, LinkSettings &link)
{
    link = LinkSettings{};
    if (!store.exists())
        return false;
    const auto port = store.value(QStringLiteral("Port"));
    link.port = port ? port->toString() : noneName(language);
    if (isNoneName(link.port))
        link.port.clear();
    const auto rate = store.value(QStringLiteral("BaudRate"));
    switch (rate ? rate->toInt() : 0) {
    case 1200: link.baudRate = br001200; break;
    case 2400: link.baudRate = br002400; break;
    case 4800: link.baudRate = br004800; break;
    default: link.baudRate = br009600; break;
    }
    return true;
}

void writeLinkSettings(SettingsStore &store, const TComm32VN &comm)
{
    const QString port = comm.COMPort();
    const bool listed = comm.PortList().contains(port, Qt::CaseInsensitive);
    store.setValue(QStringLiteral("Port"), listed && !isNoneName(port) ? port : QString());
    store.setValue(QStringLiteral("BaudRate"), qlonglong(BaudRateValues[comm.BaudRate()]));
}

} // namespace qv
