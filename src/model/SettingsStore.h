#pragma once

#include <QHash>
#include <QLatin1StringView>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

namespace zova {

// Where preferences are kept: raw values by key, as they are stored. Parsing and
// fallbacks belong to Settings, never to a store.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // The stored value; an invalid QVariant when nothing is stored under the key.
    virtual QVariant value(QLatin1StringView key) const = 0;
    virtual void setValue(QLatin1StringView key, const QVariant& value) = 0;
};

// The user's settings file: ~/.config/<organisation>/<application>.conf for the
// application's names, or an INI file at a given path.
class SettingsFileStore final : public SettingsStore {
public:
    SettingsFileStore();
    explicit SettingsFileStore(const QString& iniPath);
    ~SettingsFileStore() override;
    QVariant value(QLatin1StringView key) const override;
    void setValue(QLatin1StringView key, const QVariant& value) override;
    // Writes what is pending to the file now.
    void sync();

private:
    std::unique_ptr<QSettings> m_settings;
};

// Values kept in memory only, for tests.
class MemorySettingsStore final : public SettingsStore {
public:
    QVariant value(QLatin1StringView key) const override { return m_values.value(QString(key)); }
    void setValue(QLatin1StringView key, const QVariant& value) override { m_values.insert(QString(key), value); }

private:
    QHash<QString, QVariant> m_values;
};

} // namespace zova
