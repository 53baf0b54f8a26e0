#pragma once

#include <QByteArray>
#include <QString>
#include <QUuid>

#include <optional>

namespace zova::step_drag {

// The private MIME type of a dragged step row.
QString mimeType();

// {"stepID":"<UUID>"}: exactly one key, the id in upper case without braces.
QByteArray encode(const QUuid& stepId);
// The id of a payload; nothing unless it is a JSON object whose "stepID" is a UUID.
std::optional<QUuid> decode(const QByteArray& payload);

} // namespace zova::step_drag
