#include "model/SettingsStore.h"

#include <QSettings>

namespace zova {

SettingsFileStore::SettingsFileStore()
    : m_settings(std::make_unique<QSettings>())
{
}

SettingsFileStore::SettingsFileStore(const QString& iniPath)
    : m_settings(std::make_unique<QSettings>(iniPath, QSettings::IniFormat))
{
}

SettingsFileStore::~SettingsFileStore() = default;

QVariant SettingsFileStore::value(QLatin1StringView key) const { return m_settings->value(key); }

void SettingsFileStore::setValue(QLatin1StringView key, const QVariant& value) { m_settings->setValue(key, value); }

void SettingsFileStore::sync() { m_settings->sync(); }

} // namespace zova
