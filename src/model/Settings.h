#pragma once

#include "model/SettingsStore.h"
#include "model/SettingsTable.h"

#include <QObject>

#include <memory>

namespace zova {

// The user's preferences, read and written through the descriptors of
// SettingsTable.h. Made once at the application root and handed to whoever needs
// it; GUI thread only.
//
//     settings.value(settings::themeMode)                  // ThemeMode::System when unset or ill-formed
//     settings.setValue(settings::themeMode, ThemeMode::Dark)
//     connect(&settings, &Settings::changed, ..., [](const QString& key) { ... });
class Settings final : public QObject {
    Q_OBJECT
public:
    // No store keeps the values in memory (for tests).
    explicit Settings(std::unique_ptr<SettingsStore> store = {}, QObject* parent = nullptr);
    ~Settings() override;

    // The stored value, or the descriptor's fallback when nothing usable is stored.
    // Reading writes nothing.
    template <typename T> T value(const Setting<T>& setting) const
    {
        return setting.parse(m_store->value(setting.key)).value_or(setting.fallback);
    }

    // Always writes; emits changed(key) only when the value read back differs from before.
    template <typename T> void setValue(const Setting<T>& setting, const T& value)
    {
        const T before = this->value(setting);
        m_store->setValue(setting.key, setting.write(value));
        if (!(this->value(setting) == before))
            emit changed(QString(setting.key));
    }

    // Whether anything at all, well-formed or not, is stored under the key.
    template <typename T> bool isStored(const Setting<T>& setting) const
    {
        return m_store->value(setting.key).isValid();
    }

signals:
    void changed(const QString& key);

private:
    std::unique_ptr<SettingsStore> m_store;
};

} // namespace zova
