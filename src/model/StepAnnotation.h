#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUuid>

#include <optional>

namespace zova {

// One mark on a step's screenshot, in fractions of the screenshot's size.
struct StepAnnotation {
    enum class Kind { Blur, Arrow, Highlight, Text };

    QUuid id = QUuid::createUuid();
    Kind kind = Kind::Highlight;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double rotation = 0;
    std::optional<QString> text;
    QString colorHex;

    bool operator==(const StepAnnotation&) const = default;

    static QString rawValue(Kind kind);
    static std::optional<Kind> kindFromRaw(const QString& raw);

    // The stored JSON array; no value when a number is not finite.
    static std::optional<QByteArray> encodeList(const QList<StepAnnotation>& list);
    // The list stored in the bytes; any unreadable element empties the whole list.
    static QList<StepAnnotation> decodeList(const QByteArray& data);
};

size_t qHash(const StepAnnotation& a, size_t seed = 0);

} // namespace zova
