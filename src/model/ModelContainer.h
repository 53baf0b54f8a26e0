#pragma once

#include "base/Expected.h"
#include "model/StoreError.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace zova {

class ModelContext;

// The on-disk store of guides and steps: one SQLite file with the tables Guide and
// Step, schema version 1.0.0. Opening never replaces or repairs an existing file.
class ModelContainer {
public:
    static constexpr int schemaVersion = 10000; // 1.0.0 as major * 10000 + minor * 100 + patch
    static constexpr int applicationId = 0x5A4F5641; // "ZOVA"

    // Opens or creates the store at path and loads its guides into its main context;
    // their steps are read when first asked for.
    static Expected<std::unique_ptr<ModelContainer>, StoreError> open(const QString& path);
    // The screenshot names of every stored step, read over a connection of its own
    // (so from any thread); no value when the file cannot be read.
    static std::optional<QStringList> storedScreenshotNames(const QString& path);
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
