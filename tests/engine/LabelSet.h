#pragma once

#include <QFile>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMargins>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QString>
#include <QStringList>

#include <optional>

// The labelled clicks on screenshots of real applications: the tuning set in
// tests/engine/labels and the held-out set in tests/engine/labels-heldout.
// Each click names the image, the click and the text a person names the
// clicked control by (empty where the right answer is no label). Screen
// captures also carry their windows, so that the part of the image that the
// clicked window shows is known.
namespace zova::labelset {

struct Click {
    QString image;
    QPointF point;
    QString text; // empty: no label
};

// A window of a screen capture: its client area in image pixels and the
// window manager's decoration around it.
struct Window {
    QRect client;
    QMargins decoration;

    QRect outer() const { return client.marginsAdded(decoration); }
};

struct Set {
    QList<Click> clicks;
    QHash<QString, QImage> images;
    // Topmost first; only for screen captures.
    QHash<QString, QList<Window>> windows;
    QString error;

    // The window the click landed in: the topmost whose client area holds it.
    std::optional<Window> clickedWindow(const Click& click) const
    {
        for (const Window& w : windows.value(click.image)) {
            if (w.client.contains(click.point.toPoint()))
                return w;
        }
        return std::nullopt;
    }

    // What the clicked window shows: its client area less every window above
    // it, decorations included; on the bare desktop, the image less every
    // window. The whole image for a window capture.
    QRegion visibleArea(const Click& click) const
    {
        const QRect whole(QPoint(0, 0), images.value(click.image).size());
        const auto listed = windows.constFind(click.image);
        if (listed == windows.constEnd())
            return QRegion(whole);
        QRegion area(whole);
        for (const Window& w : *listed) {
            if (w.client.contains(click.point.toPoint()))
                return (area & w.client);
            area -= w.outer();
        }
        return area;
    }
};

namespace detail {

// The data lines of a tab-separated file in `folder`: comments and blank lines
// left out, each with its line number. An absent optional file has none.
inline bool readLines(const QString& path, bool optional, QList<std::pair<int, QStringList>>* lines, QString* error)
{
    QFile file(path);
    if (!file.exists() && optional)
        return true;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = QStringLiteral("cannot open ") + path;
        return false;
    }
    int lineNumber = 0;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        if (line.endsWith(QLatin1Char('\n')))
            line.chop(1);
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        lines->append({ lineNumber, line.split(QLatin1Char('\t')) });
    }
    return true;
}

} // namespace detail

// Reads clicks.tsv, windows.tsv when there is one, and every image they name
// from `folder`; `error` says what failed.
inline Set load(const QString& folder)
{
    Set set;
    auto image = [&](const QString& name) {
        if (!set.images.contains(name)) {
            const QImage read(folder + QLatin1Char('/') + name);
            if (read.isNull()) {
                set.error = QStringLiteral("cannot read ") + name;
                return false;
            }
            set.images.insert(name, read);
        }
        return true;
    };

    QList<std::pair<int, QStringList>> lines;
    if (!detail::readLines(folder + QStringLiteral("/clicks.tsv"), false, &lines, &set.error))
        return set;
    for (const auto& [lineNumber, fields] : lines) {
        bool okX = false, okY = false;
        const Click click { fields.value(0), QPointF(fields.value(1).toDouble(&okX), fields.value(2).toDouble(&okY)),
            fields.value(3).trimmed() };
        if (fields.size() != 4 || !okX || !okY) {
            set.error = QStringLiteral("bad line %1 in clicks.tsv").arg(lineNumber);
            return set;
        }
        if (!image(click.image))
            return set;
        const QSize size = set.images.value(click.image).size();
        if (!(click.point.x() >= 0 && click.point.y() >= 0 && click.point.x() < size.width()
                && click.point.y() < size.height())) {
            set.error = QStringLiteral("line %1 of clicks.tsv lies outside its image").arg(lineNumber);
            return set;
        }
        set.clicks.append(click);
    }

    lines.clear();
    if (!detail::readLines(folder + QStringLiteral("/windows.tsv"), true, &lines, &set.error))
        return set;
    for (const auto& [lineNumber, fields] : lines) {
        QList<int> numbers;
        for (qsizetype i = 1; i < fields.size(); ++i) {
            bool ok = false;
            numbers.append(fields[i].toInt(&ok));
            if (!ok)
                numbers.clear();
        }
        if (fields.size() != 9 || numbers.size() != 8 || numbers[2] <= 0 || numbers[3] <= 0) {
            set.error = QStringLiteral("bad line %1 in windows.tsv").arg(lineNumber);
            return set;
        }
        if (!image(fields[0]))
            return set;
        set.windows[fields[0]].append({ QRect(numbers[0], numbers[1], numbers[2], numbers[3]),
            QMargins(numbers[4], numbers[6], numbers[5], numbers[7]) });
    }
    return set;
}

} // namespace zova::labelset
