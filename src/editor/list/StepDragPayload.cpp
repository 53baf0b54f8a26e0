#include "editor/list/StepDragPayload.h"

#include "model/Record.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace zova::step_drag {

QString mimeType() { return QStringLiteral("application/x-zova-step+json"); }

QByteArray encode(const QUuid& stepId)
{
    QJsonObject object;
    object.insert(QStringLiteral("stepID"), uuidText(stepId));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::optional<QUuid> decode(const QByteArray& payload)
{
    const QJsonDocument document = QJsonDocument::fromJson(payload);
    if (!document.isObject())
        return std::nullopt;
    const QJsonValue value = document.object().value(QStringLiteral("stepID"));
    if (!value.isString())
        return std::nullopt;
    const QString text = value.toString();
    // The 36-character form only: no braces, no other spellings.
    if (text.size() != 36)
        return std::nullopt;
    const QUuid id = QUuid::fromString(text);
    if (id.isNull())
        return std::nullopt;
    return id;
}

} // namespace zova::step_drag
