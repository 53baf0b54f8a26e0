#pragma once

#include <QFile>
#include <QHash>
#include <QImage>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

// The labelled clicks on screenshots of real applications kept in
// tests/engine/labels: each names the image, the click and the expected text.
namespace zova::labelset {

struct Click {
    QString image;
    QPointF point;
    QString text;
};

struct Set {
    QList<Click> clicks;
    QHash<QString, QImage> images;
    QString error;
};

// Reads clicks.tsv and every image it names from `folder`; `error` says what failed.
inline Set load(const QString& folder)
{
    Set set;
    QFile file(folder + QStringLiteral("/clicks.tsv"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        set.error = QStringLiteral("cannot open ") + file.fileName();
        return set;
    }
    int lineNumber = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('\t'));
        bool okX = false, okY = false;
        const Click click { fields.value(0), QPointF(fields.value(1).toDouble(&okX), fields.value(2).toDouble(&okY)),
            fields.value(3) };
        if (fields.size() != 4 || !okX || !okY || click.text.isEmpty()) {
            set.error = QStringLiteral("bad line %1 in clicks.tsv").arg(lineNumber);
            return set;
        }
        if (!set.images.contains(click.image)) {
            const QImage image(folder + QLatin1Char('/') + click.image);
            if (image.isNull()) {
                set.error = QStringLiteral("cannot read ") + click.image;
                return set;
            }
            set.images.insert(click.image, image);
        }
        set.clicks.append(click);
    }
    return set;
}

} // namespace zova::labelset
