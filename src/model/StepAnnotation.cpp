#include "model/StepAnnotation.h"

#include "model/Record.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <cmath>

namespace zova {

namespace {

void appendJsonString(QByteArray& out, const QString& s)
{
    out.append('"');
    const QByteArray utf8 = s.toUtf8();
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"': out.append("\\\""); break;
        case '\\': out.append("\\\\"); break;
        case '/': out.append("\\/"); break;
        case '\b': out.append("\\b"); break;
        case '\f': out.append("\\f"); break;
        case '\n': out.append("\\n"); break;
        case '\r': out.append("\\r"); break;
        case '\t': out.append("\\t"); break;
        default:
            if (c < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(c));
                out.append(buf);
            } else {
                out.append(char(c));
            }
        }
    }
    out.append('"');
}

bool appendNumber(QByteArray& out, double v)
{
    if (!std::isfinite(v))
        return false;
    char buf[32];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, int(res.ptr - buf));
    return true;
}

std::optional<double> number(const QJsonObject& o, const char* key)
{
    const QJsonValue v = o.value(QLatin1String(key));
    if (!v.isDouble())
        return std::nullopt;
    return v.toDouble();
}

std::optional<StepAnnotation> decodeOne(const QJsonValue& value)
{
    if (!value.isObject())
        return std::nullopt;
    const QJsonObject o = value.toObject();
    StepAnnotation a;

    const QJsonValue id = o.value(QLatin1String("id"));
    if (!id.isString() || id.toString().size() != 36)
        return std::nullopt;
    a.id = QUuid::fromString(id.toString());
    if (a.id.isNull() && id.toString() != QLatin1String("00000000-0000-0000-0000-000000000000"))
        return std::nullopt;

    const QJsonValue kind = o.value(QLatin1String("kind"));
    if (!kind.isString())
        return std::nullopt;
    const auto k = StepAnnotation::kindFromRaw(kind.toString());
    if (!k)
        return std::nullopt;
    a.kind = *k;

    const auto x = number(o, "x"), y = number(o, "y"), w = number(o, "width"), h = number(o, "height"),
               r = number(o, "rotation");
    if (!x || !y || !w || !h || !r)
        return std::nullopt;
    a.x = *x;
    a.y = *y;
    a.width = *w;
    a.height = *h;
    a.rotation = *r;

    const QJsonValue text = o.value(QLatin1String("text"));
    if (text.isString())
        a.text = text.toString();
    else if (!text.isUndefined() && !text.isNull())
        return std::nullopt;

    const QJsonValue color = o.value(QLatin1String("colorHex"));
    if (!color.isString())
        return std::nullopt;
    a.colorHex = color.toString();
    return a;
}

} // namespace

QString StepAnnotation::rawValue(Kind kind)
{
    switch (kind) {
    case Kind::Blur: return QStringLiteral("blur");
    case Kind::Arrow: return QStringLiteral("arrow");
    case Kind::Highlight: return QStringLiteral("highlight");
    case Kind::Text: return QStringLiteral("text");
    }
    return {};
}

std::optional<StepAnnotation::Kind> StepAnnotation::kindFromRaw(const QString& raw)
{
    for (Kind k : { Kind::Blur, Kind::Arrow, Kind::Highlight, Kind::Text }) {
        if (rawValue(k) == raw)
            return k;
    }
    return std::nullopt;
}

std::optional<QByteArray> StepAnnotation::encodeList(const QList<StepAnnotation>& list)
{
    QByteArray out;
    out.append('[');
    bool first = true;
    for (const StepAnnotation& a : list) {
        if (!first)
            out.append(',');
        first = false;
        out.append("{\"id\":");
        appendJsonString(out, uuidText(a.id));
        out.append(",\"kind\":");
        appendJsonString(out, rawValue(a.kind));
        const std::pair<const char*, double> numbers[] = { { ",\"x\":", a.x }, { ",\"y\":", a.y },
            { ",\"width\":", a.width }, { ",\"height\":", a.height }, { ",\"rotation\":", a.rotation } };
        for (const auto& [key, value] : numbers) {
            out.append(key);
            if (!appendNumber(out, value))
                return std::nullopt;
        }
        if (a.text) {
            out.append(",\"text\":");
            appendJsonString(out, *a.text);
        }
        out.append(",\"colorHex\":");
        appendJsonString(out, a.colorHex);
        out.append('}');
    }
    out.append(']');
    return out;
}

QList<StepAnnotation> StepAnnotation::decodeList(const QByteArray& data)
{
    QJsonParseError error {};
    const QJsonDocument doc = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray())
        return {};
    QList<StepAnnotation> result;
    const QJsonArray array = doc.array();
    result.reserve(array.size());
    for (const QJsonValue& v : array) {
        auto a = decodeOne(v);
        if (!a)
            return {};
        result.append(std::move(*a));
    }
    return result;
}

size_t qHash(const StepAnnotation& a, size_t seed)
{
    return qHashMulti(seed, a.id, int(a.kind), a.x, a.y, a.width, a.height, a.rotation, a.text.has_value(),
        a.text.value_or(QString()), a.colorHex);
}

} // namespace zova
