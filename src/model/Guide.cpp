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

Guide* Guide::makeStored(QUuid id)
{
    auto* g = new Guide();
    g->m_id = id;
    return g;
}

Guide::PublishStatus Guide::publishStatus() const
{
    return publishStatusFromRaw(m_publishStatusRaw).value_or(PublishStatus::Draft);
}

#define ZOVA_SETTER(Type, name, member, signal)                                                                        \
    void Guide::name(Type v)                                                                                           \
    {                                                                                                                  \
        if (!assignIfChanged(member, v))                                                                               \
            return;                                                                                                    \
        emit signal();                                                                                                 \
        fieldChanged();                                                                                                \
    }

ZOVA_SETTER(const QString&, setTitle, m_title, titleChanged)
ZOVA_SETTER(const std::optional<QString>&, setSummary, m_summary, summaryChanged)
ZOVA_SETTER(qint64, setOrder, m_order, orderChanged)
ZOVA_SETTER(const QDateTime&, setCreatedAt, m_createdAt, createdAtChanged)
ZOVA_SETTER(const QDateTime&, setUpdatedAt, m_updatedAt, updatedAtChanged)
ZOVA_SETTER(const QString&, setPublishStatusRaw, m_publishStatusRaw, publishStatusRawChanged)
ZOVA_SETTER(bool, setAiGenerated, m_aiGenerated, aiGeneratedChanged)
ZOVA_SETTER(qint64, setAiRewriteCount, m_aiRewriteCount, aiRewriteCountChanged)
ZOVA_SETTER(const QString&, setThemeHueRaw, m_themeHueRaw, themeHueRawChanged)
ZOVA_SETTER(const QString&, setOwnerInitials, m_ownerInitials, ownerInitialsChanged)
ZOVA_SETTER(const std::optional<QString>&, setVideoBackgroundHex, m_videoBackgroundHex, videoBackgroundHexChanged)

#undef ZOVA_SETTER

QList<Step*> Guide::orderedSteps() const
{
    QList<Step*> sorted = m_steps;
    std::stable_sort(
        sorted.begin(), sorted.end(), [](const Step* a, const Step* b) { return a->order() < b->order(); });
    return sorted;
}

void Guide::attachStep(Step* step)
{
    if (m_steps.contains(step))
        return;
    m_steps.append(step);
    emit stepsChanged();
}

void Guide::detachStep(Step* step)
{
    if (m_steps.removeOne(step))
        emit stepsChanged();
}

} // namespace zova
