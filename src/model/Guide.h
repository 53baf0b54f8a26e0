#pragma once

#include "model/AccentHue.h"
#include "model/Record.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace zova {

class Step;

// One recorded guide: an ordered list of steps.
class Guide : public Record {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString publishStatusRaw READ publishStatusRaw WRITE setPublishStatusRaw NOTIFY publishStatusRawChanged)
    Q_PROPERTY(bool aiGenerated READ aiGenerated WRITE setAiGenerated NOTIFY aiGeneratedChanged)
    Q_PROPERTY(QString themeHueRaw READ themeHueRaw WRITE setThemeHueRaw NOTIFY themeHueRawChanged)
public:
    enum class PublishStatus { Draft, Review, Published, Private };
    static QString rawValue(PublishStatus status);
    static std::optional<PublishStatus> publishStatusFromRaw(const QString& raw);

    explicit Guide(const QString& title = {}, AccentHue themeHue = AccentHue::Pink, const QString& ownerInitials = {});
    ~Guide() override;
    // For the store: a record with a known id and default fields.
    static Guide* makeStored(QUuid id);

    QString title() const { return m_title; }
    std::optional<QString> summary() const { return m_summary; }
    qint64 order() const { return m_order; }
    QDateTime createdAt() const { return m_createdAt; }
    QDateTime updatedAt() const { return m_updatedAt; }
    QString publishStatusRaw() const { return m_publishStatusRaw; }
    // The parsed status; a raw text that matches no case reads as draft.
    PublishStatus publishStatus() const;
    bool aiGenerated() const { return m_aiGenerated; }
    qint64 aiRewriteCount() const { return m_aiRewriteCount; }
    QString themeHueRaw() const { return m_themeHueRaw; }
    QString ownerInitials() const { return m_ownerInitials; }
    std::optional<QString> videoBackgroundHex() const { return m_videoBackgroundHex; }

    void setTitle(const QString& v);
    void setSummary(const std::optional<QString>& v);
    void setOrder(qint64 v);
    void setCreatedAt(const QDateTime& v);
    void setUpdatedAt(const QDateTime& v);
    void setPublishStatusRaw(const QString& v);
    void setAiGenerated(bool v);
    void setAiRewriteCount(qint64 v);
    void setThemeHueRaw(const QString& v);
    void setOwnerInitials(const QString& v);
    void setVideoBackgroundHex(const std::optional<QString>& v);

    // The relation in its own (insertion) order. A stored guide's steps are read
    // from the store when they are first asked for.
    const QList<Step*>& steps() const
    {
        if (m_stepsUnread)
            readSteps();
        return m_steps;
    }
    // Steps sorted by order, ascending; ties keep the relation's order.
    QList<Step*> orderedSteps() const;
    // The order of a step added after all others: the largest order plus one, 0
    // without steps (gaps in the numbering stay).
    qint64 nextStepOrder() const;

signals:
    void titleChanged();
    void summaryChanged();
    void orderChanged();
    void createdAtChanged();
    void updatedAtChanged();
    void publishStatusRawChanged();
    void aiGeneratedChanged();
    void aiRewriteCountChanged();
    void themeHueRawChanged();
    void ownerInitialsChanged();
    void videoBackgroundHexChanged();
    void stepsChanged();

private:
    friend class Step;
    friend class ModelContext;
    struct StoredId {
        QUuid id;
    };
    explicit Guide(StoredId stored);
    void attachStep(Step* step);
    void detachStep(Step* step);
    void readSteps() const;

    QString m_title;
    std::optional<QString> m_summary;
    qint64 m_order = 0;
    QDateTime m_createdAt;
    QDateTime m_updatedAt;
    QString m_publishStatusRaw = QStringLiteral("draft");
    bool m_aiGenerated = false;
    qint64 m_aiRewriteCount = 0;
    QString m_themeHueRaw = QStringLiteral("pink");
    QString m_ownerInitials;
    std::optional<QString> m_videoBackgroundHex;
    QList<Step*> m_steps;
    bool m_stepsUnread = false;
};

} // namespace zova
