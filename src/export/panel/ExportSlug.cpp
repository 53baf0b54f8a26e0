#include "export/panel/ExportSlug.h"

#include <QChar>
#include <QList>
#include <QStringView>
#include <QTextBoundaryFinder>

namespace zova {

namespace {

bool kept(char32_t c)
{
    if (c == U'-' || c == U'_')
        return true;
    switch (QChar::category(c)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other: return true;
    default: return false;
    }
}

qsizetype utf8Length(QStringView text) { return text.toUtf8().size(); }

// The longest prefix within the byte limit that ends on a boundary of the given kind.
qsizetype cutAt(const QString& text, QTextBoundaryFinder::BoundaryType type)
{
    QTextBoundaryFinder finder(type, text);
    qsizetype best = 0;
    qsizetype bytes = 0;
    for (qsizetype pos = finder.toNextBoundary(); pos > 0; pos = finder.toNextBoundary()) {
        bytes += utf8Length(QStringView(text).mid(best, pos - best));
        if (bytes > maxSlugBytes)
            break;
        best = pos;
    }
    return best;
}

// Cuts between user-perceived characters; a first character longer than the limit
// on its own (a letter under many marks) is cut between code points instead.
QString limited(const QString& slug)
{
    if (utf8Length(slug) <= maxSlugBytes)
        return slug;
    qsizetype end = cutAt(slug, QTextBoundaryFinder::Grapheme);
    if (end == 0) {
        qsizetype bytes = 0;
        for (qsizetype i = 0; i < slug.size();) {
            const qsizetype width = slug.at(i).isHighSurrogate() && i + 1 < slug.size() ? 2 : 1;
            bytes += utf8Length(QStringView(slug).mid(i, width));
            if (bytes > maxSlugBytes)
                break;
            i += width;
            end = i;
        }
    }
    return slug.left(end);
}

} // namespace

QString slugFor(const QString& title)
{
    const QString lower = title.toLower();
    QString slug;
    slug.reserve(lower.size());
    for (const uint code : lower.toUcs4()) {
        const char32_t c = char32_t(code);
        const char32_t mapped = c == U' ' ? U'-' : c;
        if (kept(mapped))
            slug.append(QString::fromUcs4(&mapped, 1));
    }
    slug = limited(slug);
    return slug.isEmpty() ? QStringLiteral("vorne-export") : slug;
}

} // namespace zova
