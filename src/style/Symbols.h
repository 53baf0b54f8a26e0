#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

namespace zova {

// Symbols named as the screens name them ("magnifyingglass", "checkmark", ...),
// drawn from the Material Icons font through one table.
namespace Symbols {

// The glyph for a symbol name; a null character for a name the table lacks.
QChar glyph(const QString& name);
bool isKnown(const QString& name);
// Every name the table maps, sorted.
QStringList names();
// Material Icons at a pixel size.
QFont font(qreal pixelSize);
// Draws the symbol centred in the rectangle; a name the table lacks draws an
// outlined box and logs a warning (once per name).
void paint(QPainter& painter, const QRectF& rect, const QString& name, qreal pixelSize, const QColor& color);
// An icon of the symbol for menus and actions (drawn, never from the icon theme).
QIcon icon(const QString& name, const QColor& color, int pixelSize = 16);

} // namespace Symbols
} // namespace zova
