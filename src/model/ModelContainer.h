#pragma once

#include "base/Expected.h"
#include "model/StoreError.h"

#include <QString>

#include <memory>

namespace zova {

class ModelContext;

// The on-disk store of guides and steps: one SQLite file with the tables Guide and
// Step, schema version 1.0.0. Opening never replaces or repairs an existing file.
class ModelContainer {
public:
    static constexpr int schemaVersion = 10000; // 1.0.0 as major * 10000 + minor * 100 + patch
    static constexpr int applicationId = 0x5A4F5641; // "ZOVA"

    // Opens or creates the store at path and loads every record into its main context.
    static Expected<std::unique_ptr<ModelContainer>, StoreError> open(const QString& path);
    // ~/.local/share/ZOVA/ZOVA.store
    static QString defaultStorePath();

    ~ModelContainer();
    ModelContainer(const ModelContainer&) = delete;
    ModelContainer& operator=(const ModelContainer&) = delete;

    ModelContext* mainContext() const { return m_context.get(); }
    QString path() const { return m_path; }

private:
    ModelContainer() = default;
    QString m_path;
    std::unique_ptr<ModelContext> m_context;
};

} // namespace zova
