#include "model/Settings.h"

namespace zova {

Settings::Settings(std::unique_ptr<SettingsStore> store, QObject* parent)
    : QObject(parent)
    , m_store(store ? std::move(store) : std::make_unique<MemorySettingsStore>())
{
}

Settings::~Settings() = default;

} // namespace zova
