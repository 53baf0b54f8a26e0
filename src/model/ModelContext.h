#pragma once

#include "base/Expected.h"
#include "model/Sqlite.h"
#include "model/StoreError.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>
#include <QUuid>

#include <functional>
#include <optional>

namespace zova {

class Guide;
class Record;
class Step;

// The GUI thread's view of the store: one object per record, shared by every
// view and service. Structural changes are saved with save(); small edits are
// saved automatically after a short pause and when the application quits.
class ModelContext : public QObject {
    Q_OBJECT
public:
    ~ModelContext() override;

    // Takes ownership. A guide's steps come along; a step is refused when its
    // guide has been removed.
    bool insert(Guide* guide);
    bool insert(Step* step);
    // Removes the record (a guide with its steps) from every fetch at once. The
    // object stays alive with isDeleted() true until the context ends.
    void remove(Guide* guide);
    void remove(Step* step);

    // Live guides in insertion order.
    QList<Guide*> guides() const { return m_guides; }
    Guide* guide(const QUuid& id) const { return m_guideById.value(id); }
    // A step whose guide's steps are unread is found by its row, which names the guide to read.
    Step* step(const QUuid& id);
    // Every live step, those without a guide included, in no defined order.
    QList<Step*> allSteps();

    bool hasChanges() const;
    // Writes every pending change in one transaction. On failure the file stays as
    // it was, the changes stay pending and another save is tried later, each retry
    // waiting twice as long as the one before (up to maxRetryDelay). A step whose
    // guide's row is gone from the file is dropped from the save and logged; the
    // rest is written.
    Expected<void, StoreError> save();

    static constexpr int maxRetryDelay = 60000;

    void setAutosaveDelay(int milliseconds);
    int autosaveDelay() const { return m_autosaveDelay; }
    // How long a write waits for another connection's lock.
    void setBusyTimeout(int milliseconds);

signals:
    // A guide was inserted or removed.
    void guidesChanged();
    void didSave();
    // A save failed; the changes are still pending.
    void saveFailed(const zova::StoreError& error);

private:
    friend class ModelContainer;
    friend class Record;
    friend class Guide;
    explicit ModelContext(sqlite::DatabaseHandle db);
    Expected<void, StoreError> loadAll();
    void recordChanged(Record* record);
    void adopt(Record* record);
    // Makes the records of the guide's stored steps.
    void readSteps(Guide* guide);
    void readAllSteps();
    // A step's record made from its row, not yet kept, and the guide it goes to.
    struct ReadStep {
        Step* step = nullptr;
        Guide* guide = nullptr;
    };
    // For a row: no value to pass it over, else the guide it goes to (or none).
    using RowGuide = std::function<std::optional<Guide*>(const sqlite::Statement& row)>;
    // The records of the rows `rows` steps through; none when a step fails.
    std::optional<QList<ReadStep>> readStepRows(sqlite::Statement& rows, const RowGuide& guideOf);
    void keepStep(Step* step, Guide* guide);
    void markDirty(Record* record);
    void bury(Record* record);
    bool prepareStatements();
    bool writeGuide(const Guide* g);
    bool writeStep(const Step* s);
    QString rowId(const Record* record) const;
    void scheduleAutosave();
    Expected<void, StoreError> failSave(const StoreError& error);

    sqlite::DatabaseHandle m_db;
    sqlite::Statement m_upsertGuide, m_upsertStep, m_deleteGuide, m_deleteStep, m_stepsOfGuide, m_guideOfStep;

    QList<Guide*> m_guides;
    QHash<QUuid, Guide*> m_guideById;
    QHash<QUuid, Step*> m_stepById; // the steps whose records are made
    qsizetype m_unreadGuides = 0; // guides whose stored steps are not read yet
    QHash<const Record*, QString> m_storedIds; // id text of rows read from the file, as written there
    QList<Record*> m_dirty; // inserted or changed, in order of first change
    QSet<const Record*> m_dirtySet;
    QStringList m_deletedGuides, m_deletedSteps; // row ids to delete at the next save
    QList<Record*> m_graveyard;
    QTimer m_autosave;
    int m_autosaveDelay = 1000;
    int m_failedSaves = 0; // in a row; sets the delay of the next retry
};

} // namespace zova
