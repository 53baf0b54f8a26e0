#pragma once

#include "base/Expected.h"
#include "model/Sqlite.h"
#include "model/StoreError.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QTimer>
#include <QUuid>

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
    Step* step(const QUuid& id) const { return m_stepById.value(id); }

    bool hasChanges() const;
    // Writes every pending change in one transaction. On failure the file stays as
    // it was and the changes stay pending.
    Expected<void, StoreError> save();

    void setAutosaveDelay(int milliseconds);
    int autosaveDelay() const { return m_autosave.interval(); }
    // How long a write waits for another connection's lock.
    void setBusyTimeout(int milliseconds);

signals:
    // A guide was inserted or removed.
    void guidesChanged();
    void didSave();

private:
    friend class ModelContainer;
    friend class Record;
    explicit ModelContext(sqlite::DatabaseHandle db);
    Expected<void, StoreError> loadAll();
    void recordChanged(Record* record);
    void adopt(Record* record);
    void markDirty(Record* record);
    void bury(Record* record);
    bool prepareStatements();
    bool writeGuide(const Guide* g);
    bool writeStep(const Step* s);

    sqlite::DatabaseHandle m_db;
    sqlite::Statement m_upsertGuide, m_upsertStep, m_deleteGuide, m_deleteStep;

    QList<Guide*> m_guides;
    QHash<QUuid, Guide*> m_guideById;
    QHash<QUuid, Step*> m_stepById;
    QSet<const Record*> m_persisted; // rows that exist in the file
    QList<Record*> m_dirty; // inserted or changed, in order of first change
    QSet<const Record*> m_dirtySet;
    QList<QUuid> m_deletedGuides, m_deletedSteps; // rows to delete at the next save
    QList<Record*> m_graveyard;
    QTimer m_autosave;
};

} // namespace zova
