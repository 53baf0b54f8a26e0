#include "model/Guide.h"

#include "model/ModelContext.h"
#include "model/Step.h"

#include <algorithm>

namespace zova {

QString Guide::rawValue(PublishStatus status)
{
    switch (status) {
    case PublishStatus::Draft: return QStringLiteral("draft");
    case PublishStatus::Review: return QStringLiteral("review");
    case PublishStatus::Published: return QStringLiteral("published");
    case PublishStatus::Private: return QStringLiteral("private");
    }
    return QStringLiteral("draft");
}

std::optional<Guide::PublishStatus> Guide::publishStatusFromRaw(const QString& raw)
{
    for (PublishStatus s :
        { PublishStatus::Draft, PublishStatus::Review, PublishStatus::Published, PublishStatus::Private }) {
        if (rawValue(s) == raw)
            return s;
    }
    return std::nullopt;
}

Guide::Guide(const QString& title, AccentHue themeHue, const QString& ownerInitials)
    : Record(QUuid::createUuid())
    , m_title(title)
    , m_themeHueRaw(accent_hue::rawValue(themeHue))
    , m_ownerInitials(ownerInitials)
{
    m_createdAt = QDateTime::currentDateTimeUtc();
    m_updatedAt = QDateTime::currentDateTimeUtc();
}

Guide::Guide(StoredId stored)
    : Record(stored.id)
{
}

Guide* Guide::makeStored(QUuid id) { return new Guide(StoredId { id }); }

Guide::PublishStatus Guide::publishStatus() const
{
    return publishStatusFromRaw(m_publishStatusRaw).value_or(PublishStatus::Draft);
}

void Guide::setTitle(const QString& v) { setField(m_title, v, &Guide::titleChanged); }
void Guide::setSummary(const std::optional<QString>& v) { setField(m_summary, v, &Guide::summaryChanged); }
void Guide::setOrder(qint64 v) { setField(m_order, v, &Guide::orderChanged); }
void Guide::setCreatedAt(const QDateTime& v) { setField(m_createdAt, v, &Guide::createdAtChanged); }
void Guide::setUpdatedAt(const QDateTime& v) { setField(m_updatedAt, v, &Guide::updatedAtChanged); }
void Guide::setPublishStatusRaw(const QString& v) { setField(m_publishStatusRaw, v, &Guide::publishStatusRawChanged); }
void Guide::setAiGenerated(bool v) { setField(m_aiGenerated, v, &Guide::aiGeneratedChanged); }
void Guide::setAiRewriteCount(qint64 v) { setField(m_aiRewriteCount, v, &Guide::aiRewriteCountChanged); }
void Guide::setThemeHueRaw(const QString& v) { setField(m_themeHueRaw, v, &Guide::themeHueRawChanged); }
void Guide::setOwnerInitials(const QString& v) { setField(m_ownerInitials, v, &Guide::ownerInitialsChanged); }
void Guide::setVideoBackgroundHex(const std::optional<QString>& v)
{
    setField(m_videoBackgroundHex, v, &Guide::videoBackgroundHexChanged);
}

Guide::~Guide() = default;

void Guide::readSteps() const
{
    if (auto* context = this->context())
        context->readSteps(const_cast<Guide*>(this));
}

QList<Step*> Guide::orderedSteps() const
{
    QList<Step*> sorted = steps();
    std::stable_sort(
        sorted.begin(), sorted.end(), [](const Step* a, const Step* b) { return a->order() < b->order(); });
    return sorted;
}

qint64 Guide::nextStepOrder() const
{
    qint64 next = 0;
    for (const Step* s : steps())
        next = std::max(next, s->order() + 1);
    return next;
}

void Guide::attachStep(Step* step)
{
    if (steps().contains(step))
        return;
    m_steps.append(step);
    emit stepsChanged();
}

void Guide::detachStep(Step* step)
{
    (void)steps();
    if (m_steps.removeOne(step))
        emit stepsChanged();
}

} // namespace zova
