#include "model/ModelContext.h"

#include "model/Guide.h"
#include "model/Step.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <algorithm>
#include <memory>
#include <utility>

Q_LOGGING_CATEGORY(lcStore, "zova.model")

namespace zova {

namespace {

constexpr const char* upsertGuideSql
    = "INSERT INTO Guide (id, title, summary, \"order\", createdAt, updatedAt, publishStatusRaw, aiGenerated, "
      "aiRewriteCount, themeHueRaw, ownerInitials, videoBackgroundHex) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, "
      "?10, "
      "?11, ?12) ON CONFLICT(id) DO UPDATE SET title = excluded.title, summary = excluded.summary, \"order\" = "
      "excluded.\"order\", createdAt = excluded.createdAt, updatedAt = excluded.updatedAt, publishStatusRaw = "
      "excluded.publishStatusRaw, aiGenerated = excluded.aiGenerated, aiRewriteCount = excluded.aiRewriteCount, "
      "themeHueRaw = excluded.themeHueRaw, ownerInitials = excluded.ownerInitials, videoBackgroundHex = "
      "excluded.videoBackgroundHex";

constexpr const char* stepColumnsSql
    = "SELECT id, \"order\", screenshotFilename, clickX, clickY, ocrLabel, userDescription, annotationsData, "
      "capturedAt, videoBackgroundHex, guide FROM Step";

constexpr const char* upsertStepSql
    = "INSERT INTO Step (id, \"order\", screenshotFilename, clickX, clickY, ocrLabel, userDescription, "
      "annotationsData, capturedAt, videoBackgroundHex, guide) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11) "
      "ON CONFLICT(id) DO UPDATE SET \"order\" = excluded.\"order\", screenshotFilename = excluded.screenshotFilename, "
      "clickX = excluded.clickX, clickY = excluded.clickY, ocrLabel = excluded.ocrLabel, userDescription = "
      "excluded.userDescription, annotationsData = excluded.annotationsData, capturedAt = excluded.capturedAt, "
      "videoBackgroundHex = excluded.videoBackgroundHex, guide = excluded.guide";

qint64 toStored(const QDateTime& t) { return t.isValid() ? t.toMSecsSinceEpoch() : 0; }

QDateTime fromStored(qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC); }

// Positions are counted on from (order + 1, one more step); far-out stored values
// are pulled in so that arithmetic on them cannot overflow.
qint64 storedOrder(qint64 order)
{
    constexpr qint64 limit = qint64(1) << 62;
    return std::clamp(order, -limit, limit);
}

QUuid parsedId(QByteArrayView text) { return QUuid::fromString(QLatin1StringView(text)); }

// True when the text is what uuidText() makes of its id: no row text needs keeping.
bool isCanonicalId(QByteArrayView text, const QUuid& id)
{
    if (id.isNull() || text.size() != 36)
        return false;
    return std::none_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool isForeignKeyFailure(sqlite3* db) { return sqlite3_extended_errcode(db) == SQLITE_CONSTRAINT_FOREIGNKEY; }

} // namespace

ModelContext::ModelContext(sqlite::DatabaseHandle db)
    : m_db(std::move(db))
{
    m_autosave.setSingleShot(true);
    m_autosave.setInterval(m_autosaveDelay);
    connect(&m_autosave, &QTimer::timeout, this, [this] { save(); });
    if (auto* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, [this] {
            if (hasChanges())
                save();
        });
    }
}

ModelContext::~ModelContext()
{
    if (hasChanges()) {
        if (const auto r = save(); !r)
            qCWarning(lcStore) << "Final save failed:" << r.error().description();
    }
    // Children are deleted by QObject; the relation pointers need no cleanup then.
}

bool ModelContext::prepareStatements()
{
    // Stops at the first failure, so that the engine's last error is the one that counts.
    m_upsertGuide = sqlite::Statement(m_db.get(), upsertGuideSql);
    if (!m_upsertGuide.isValid())
        return false;
    m_upsertStep = sqlite::Statement(m_db.get(), upsertStepSql);
    if (!m_upsertStep.isValid())
        return false;
    m_deleteGuide = sqlite::Statement(m_db.get(), "DELETE FROM Guide WHERE id = ?1");
    if (!m_deleteGuide.isValid())
        return false;
    m_deleteStep = sqlite::Statement(m_db.get(), "DELETE FROM Step WHERE id = ?1");
    if (!m_deleteStep.isValid())
        return false;
    m_stepsOfGuide
        = sqlite::Statement(m_db.get(), (QByteArray(stepColumnsSql) + " WHERE guide = ?1 ORDER BY rowid").constData());
    if (!m_stepsOfGuide.isValid())
        return false;
    // The id as uuidText() writes it, or as other tools may have: in lower case, in braces.
    m_guideOfStep = sqlite::Statement(m_db.get(),
        "SELECT guide FROM Step WHERE id IN (?1, lower(?1), '{' || ?1 || '}', '{' || lower(?1) || '}') LIMIT 1");
    return m_guideOfStep.isValid();
}

Expected<void, StoreError> ModelContext::loadAll()
{
    if (!prepareStatements())
        return unexpected(StoreError { StoreError::Code::ReadFailed, sqlite::lastError(m_db.get()) });

    sqlite::Statement guides(m_db.get(),
        "SELECT id, title, summary, \"order\", createdAt, updatedAt, publishStatusRaw, aiGenerated, "
        "aiRewriteCount, themeHueRaw, ownerInitials, videoBackgroundHex FROM Guide ORDER BY rowid");
    // A guide's steps are read when they are first asked for. Those of no guide in
    // the file are read now, as nothing else reaches them.
    sqlite::Statement steps(m_db.get(),
        (QByteArray(stepColumnsSql) + " WHERE guide IS NULL OR guide NOT IN (SELECT id FROM Guide) ORDER BY rowid")
            .constData());
    if (!guides.isValid() || !steps.isValid())
        return unexpected(StoreError { StoreError::Code::ReadFailed, sqlite::lastError(m_db.get()) });

    // The table's size up front, so the maps are filled without growing.
    sqlite::Statement counts(m_db.get(), "SELECT count(*) FROM Guide");
    if (counts.isValid() && counts.step() == SQLITE_ROW) {
        const qsizetype guideCount = qsizetype(counts.integer(0));
        m_guides.reserve(guideCount);
        m_guideById.reserve(guideCount);
    }

    int rc;
    while ((rc = guides.step()) == SQLITE_ROW) {
        const QByteArrayView idText = guides.bytes(0);
        const QUuid id = parsedId(idText);
        Guide* g = Guide::makeStored(id);
        if (!isCanonicalId(idText, id))
            m_storedIds.insert(g, QString::fromUtf8(idText));
        g->m_title = guides.text(1);
        g->m_summary = guides.optionalText(2);
        g->m_order = guides.integer(3);
        g->m_createdAt = fromStored(guides.integer(4));
        g->m_updatedAt = fromStored(guides.integer(5));
        g->m_publishStatusRaw = guides.text(6);
        g->m_aiGenerated = guides.integer(7) != 0;
        g->m_aiRewriteCount = guides.integer(8);
        g->m_themeHueRaw = guides.text(9);
        g->m_ownerInitials = guides.text(10);
        g->m_videoBackgroundHex = guides.optionalText(11);
        adopt(g);
        m_guides.append(g);
        m_guideById.insert(g->id(), g);
        g->m_persisted = true;
        g->m_stepsUnread = true;
        ++m_unreadGuides;
    }
    if (rc != SQLITE_DONE)
        return unexpected(StoreError { StoreError::Code::ReadFailed, sqlite::lastError(m_db.get()) });

    // A row may name its guide in another spelling of the guide's id.
    const std::optional<QList<ReadStep>> loose = readStepRows(steps, [this](const sqlite::Statement& row) {
        return row.isNull(10) ? nullptr : m_guideById.value(parsedId(row.bytes(10)));
    });
    if (!loose)
        return unexpected(StoreError { StoreError::Code::ReadFailed, sqlite::lastError(m_db.get()) });
    for (const ReadStep& read : *loose)
        keepStep(read.step, read.guide);
    return {};
}

void ModelContext::adopt(Record* record)
{
    record->setParent(this);
    record->m_context = this;
}

std::optional<QList<ModelContext::ReadStep>> ModelContext::readStepRows(
    sqlite::Statement& rows, const RowGuide& guideOf)
{
    QList<ReadStep> read;
    QHash<const Record*, QString> idTexts;
    int rc;
    while ((rc = rows.step()) == SQLITE_ROW) {
        const std::optional<Guide*> guide = guideOf(rows);
        if (!guide)
            continue;
        const QByteArrayView idText = rows.bytes(0);
        const QUuid id = parsedId(idText);
        Step* s = Step::makeStored(id);
        read.append({ s, *guide });
        if (!isCanonicalId(idText, id))
            idTexts.insert(s, QString::fromUtf8(idText));
        s->m_order = storedOrder(rows.integer(1));
        s->m_screenshotFilename = rows.text(2);
        s->m_clickX = rows.real(3);
        s->m_clickY = rows.real(4);
        s->m_ocrLabel = rows.optionalText(5);
        s->m_userDescription = rows.optionalText(6);
        s->m_annotationsData = rows.optionalBlob(7);
        s->m_capturedAt = fromStored(rows.integer(8));
        s->m_videoBackgroundHex = rows.optionalText(9);
    }
    rows.reset();
    if (rc != SQLITE_DONE) {
        for (const ReadStep& r : std::as_const(read))
            delete r.step;
        return std::nullopt;
    }
    m_storedIds.insert(idTexts);
    return read;
}

void ModelContext::keepStep(Step* step, Guide* guide)
{
    if (guide) {
        step->m_guide = guide;
        guide->m_steps.append(step);
    }
    adopt(step);
    m_stepById.insert(step->id(), step);
    step->m_persisted = true;
}

void ModelContext::readSteps(Guide* guide)
{
    if (!guide->m_stepsUnread)
        return;
    const bool bound = m_stepsOfGuide.bind(1, rowId(guide));
    const std::optional<QList<ReadStep>> read
        = bound ? readStepRows(m_stepsOfGuide, [guide](const sqlite::Statement&) { return guide; }) : std::nullopt;
    if (!read) {
        // Asked again next time; meanwhile the guide shows the steps it has.
        qCWarning(lcStore) << "Could not read the steps of guide" << uuidText(guide->id()) << ":"
                           << sqlite::lastError(m_db.get());
        m_stepsOfGuide.reset();
        return;
    }
    guide->m_stepsUnread = false;
    --m_unreadGuides;
    guide->m_steps.reserve(guide->m_steps.size() + read->size());
    for (const ReadStep& r : *read)
        keepStep(r.step, guide);
}

void ModelContext::readAllSteps()
{
    if (m_unreadGuides == 0)
        return;
    // One pass over the table: each row goes to its guide when that guide's steps
    // are still unread and the row names it as the guide's own row does.
    sqlite::Statement rows(
        m_db.get(), (QByteArray(stepColumnsSql) + " WHERE guide IS NOT NULL ORDER BY rowid").constData());
    std::optional<QList<ReadStep>> read;
    if (rows.isValid())
        read = readStepRows(rows,
            [this, last = static_cast<Guide*>(nullptr), lastText = QByteArray()](
                const sqlite::Statement& row) mutable -> std::optional<Guide*> {
                const QByteArrayView guideText = row.bytes(10);
                if (!last || guideText != lastText) {
                    last = m_guideById.value(parsedId(guideText));
                    lastText = last ? rowId(last).toUtf8() : QByteArray();
                }
                if (!last || !last->m_stepsUnread || guideText != lastText)
                    return std::nullopt;
                return last;
            });
    if (!read) {
        qCWarning(lcStore) << "Could not read the stored steps:" << sqlite::lastError(m_db.get());
        return;
    }
    for (const ReadStep& r : *read)
        keepStep(r.step, r.guide);
    for (Guide* g : std::as_const(m_guides))
        g->m_stepsUnread = false;
    m_unreadGuides = 0;
}

Step* ModelContext::step(const QUuid& id)
{
    if (Step* s = m_stepById.value(id))
        return s;
    if (m_unreadGuides == 0 || id.isNull() || !m_guideOfStep.bind(1, uuidText(id)))
        return nullptr;
    // Steps of no guide in the file were read at the start; this one's guide is unread.
    Guide* guide = nullptr;
    if (m_guideOfStep.step() == SQLITE_ROW && !m_guideOfStep.isNull(0))
        guide = m_guideById.value(parsedId(m_guideOfStep.bytes(0)));
    m_guideOfStep.reset();
    if (!guide)
        return nullptr;
    readSteps(guide);
    return m_stepById.value(id);
}

QList<Step*> ModelContext::allSteps()
{
    readAllSteps();
    return m_stepById.values();
}

bool ModelContext::insert(Guide* guide)
{
    if (!guide || guide->isDeleted())
        return false;
    if (guide->context() == this)
        return true;
    if (guide->context())
        return false;
    adopt(guide);
    m_guides.append(guide);
    m_guideById.insert(guide->id(), guide);
    markDirty(guide);
    for (Step* s : guide->steps())
        insert(s);
    emit guidesChanged();
    return true;
}

bool ModelContext::insert(Step* step)
{
    if (!step || step->isDeleted())
        return false;
    if (step->context() == this)
        return true;
    if (step->context())
        return false;
    if (Guide* g = step->guide(); g && (g->isDeleted() || (g->context() && g->context() != this)))
        return false;
    adopt(step);
    m_stepById.insert(step->id(), step);
    markDirty(step);
    if (Guide* g = step->guide(); g && !g->context())
        insert(g);
    return true;
}

void ModelContext::bury(Record* record)
{
    record->m_deleted = true;
    if (m_dirtySet.remove(record))
        m_dirty.removeOne(record);
    m_graveyard.append(record);
}

void ModelContext::remove(Step* step)
{
    if (!step || step->context() != this || step->isDeleted())
        return;
    m_stepById.remove(step->id());
    if (std::exchange(step->m_persisted, false))
        m_deletedSteps.append(rowId(step));
    bury(step);
    if (Guide* g = step->guide())
        g->detachStep(step);
    scheduleAutosave();
}

void ModelContext::remove(Guide* guide)
{
    if (!guide || guide->context() != this || guide->isDeleted())
        return;
    const bool persisted = std::exchange(guide->m_persisted, false);
    for (Step* s : guide->steps()) {
        m_stepById.remove(s->id());
        // Persisted rows go with the guide's row (cascade); others were never written.
        if (std::exchange(s->m_persisted, false) && !persisted)
            m_deletedSteps.append(rowId(s));
        bury(s);
    }
    m_guides.removeOne(guide);
    m_guideById.remove(guide->id());
    if (persisted)
        m_deletedGuides.append(rowId(guide));
    bury(guide);
    scheduleAutosave();
    emit guidesChanged();
}

void ModelContext::recordChanged(Record* record) { markDirty(record); }

void ModelContext::markDirty(Record* record)
{
    if (!m_dirtySet.contains(record)) {
        m_dirtySet.insert(record);
        m_dirty.append(record);
    }
    scheduleAutosave();
}

void ModelContext::scheduleAutosave()
{
    // A pending retry keeps its back-off; a new edit does not hurry it.
    if (!m_autosave.isActive())
        m_autosave.start(m_autosaveDelay);
}

bool ModelContext::hasChanges() const
{
    return !m_dirty.isEmpty() || !m_deletedGuides.isEmpty() || !m_deletedSteps.isEmpty();
}

void ModelContext::setAutosaveDelay(int milliseconds) { m_autosaveDelay = std::max(0, milliseconds); }

void ModelContext::setBusyTimeout(int milliseconds) { sqlite3_busy_timeout(m_db.get(), milliseconds); }

bool ModelContext::writeGuide(const Guide* g)
{
    auto& st = m_upsertGuide;
    st.reset();
    const bool bound = st.bind(1, rowId(g)) && st.bind(2, g->title()) && st.bind(3, g->summary())
        && st.bind(4, g->order()) && st.bind(5, toStored(g->createdAt())) && st.bind(6, toStored(g->updatedAt()))
        && st.bind(7, g->publishStatusRaw()) && st.bind(8, qint64(g->aiGenerated() ? 1 : 0))
        && st.bind(9, g->aiRewriteCount()) && st.bind(10, g->themeHueRaw()) && st.bind(11, g->ownerInitials())
        && st.bind(12, g->videoBackgroundHex());
    return bound && st.step() == SQLITE_DONE;
}

bool ModelContext::writeStep(const Step* s)
{
    auto& st = m_upsertStep;
    st.reset();
    bool bound = st.bind(1, rowId(s)) && st.bind(2, s->order()) && st.bind(3, s->screenshotFilename())
        && st.bind(4, s->clickX()) && st.bind(5, s->clickY()) && st.bind(6, s->ocrLabel())
        && st.bind(7, s->userDescription()) && st.bind(8, s->annotationsData()) && st.bind(9, toStored(s->capturedAt()))
        && st.bind(10, s->videoBackgroundHex());
    bound = bound && (s->guide() ? st.bind(11, rowId(s->guide())) : st.bindNull(11));
    return bound && st.step() == SQLITE_DONE;
}

QString ModelContext::rowId(const Record* record) const
{
    // Rows written by other tools may spell the id differently (lower case);
    // updates and deletes must name the row by the text it really has.
    const auto it = m_storedIds.constFind(record);
    return it != m_storedIds.cend() ? *it : uuidText(record->id());
}

Expected<void, StoreError> ModelContext::failSave(const StoreError& error)
{
    ++m_failedSaves;
    const int shift = std::min(m_failedSaves, 16);
    const qint64 delay = std::min<qint64>(qint64(std::max(m_autosaveDelay, 1)) << shift, maxRetryDelay);
    qCWarning(lcStore) << "Save failed:" << error.description() << "- trying again in" << delay << "ms";
    m_autosave.start(int(delay));
    emit saveFailed(error);
    return unexpected(error);
}

Expected<void, StoreError> ModelContext::save()
{
    m_autosave.stop();
    if (!hasChanges()) {
        m_failedSaves = 0;
        return {};
    }

    auto fail = [this]() -> Expected<void, StoreError> {
        const StoreError error { StoreError::Code::WriteFailed, sqlite::lastError(m_db.get()) };
        sqlite::exec(m_db.get(), "ROLLBACK");
        return failSave(error);
    };

    if (!sqlite::exec(m_db.get(), "BEGIN IMMEDIATE"))
        return failSave(StoreError { StoreError::Code::WriteFailed, sqlite::lastError(m_db.get()) });

    for (const QString& id : std::as_const(m_deletedSteps)) {
        m_deleteStep.reset();
        if (!m_deleteStep.bind(1, id) || m_deleteStep.step() != SQLITE_DONE)
            return fail();
    }
    for (const QString& id : std::as_const(m_deletedGuides)) {
        m_deleteGuide.reset();
        if (!m_deleteGuide.bind(1, id) || m_deleteGuide.step() != SQLITE_DONE)
            return fail();
    }
    // Guides first, so every step's guide row exists when the step is written.
    for (const Record* r : std::as_const(m_dirty)) {
        if (auto* g = qobject_cast<const Guide*>(r); g && !writeGuide(g))
            return fail();
    }
    // A step whose guide's row is gone (removed by another program) cannot be
    // written; it must not keep every later save from succeeding.
    QList<const Record*> dropped;
    for (const Record* r : std::as_const(m_dirty)) {
        auto* s = qobject_cast<const Step*>(r);
        if (!s || writeStep(s))
            continue;
        if (!isForeignKeyFailure(m_db.get()))
            return fail();
        qCWarning(lcStore) << "Dropped the change of step" << uuidText(s->id())
                           << "because its guide is no longer in the store";
        dropped.append(s);
    }
    if (!sqlite::exec(m_db.get(), "COMMIT"))
        return fail();

    for (Record* r : std::as_const(m_dirty)) {
        if (!dropped.contains(r))
            r->m_persisted = true;
    }
    m_dirty.clear();
    m_dirtySet.clear();
    m_deletedGuides.clear();
    m_deletedSteps.clear();
    m_failedSaves = 0;
    emit didSave();
    return {};
}

} // namespace zova
