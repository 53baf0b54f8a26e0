#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>

class QPainter;

namespace zova {

// The capsule look of a button: a variant (colours, glass, border, shadow) and a size.
struct PillStyle {
    struct Variant {
        enum class Kind { Glass, Primary, Ai, Accent, Record, Ghost };
        Kind kind = Kind::Glass;
        bool dark = false; // Glass only

        static Variant glass(bool dark) { return { Kind::Glass, dark }; }
        static Variant primary() { return { Kind::Primary, false }; }
        static Variant ai() { return { Kind::Ai, false }; }
        static Variant accent() { return { Kind::Accent, false }; }
        static Variant record() { return { Kind::Record, false }; }
        static Variant ghost() { return { Kind::Ghost, false }; }
        bool operator==(const Variant&) const = default;

        // The text colour, read from the palette at call time.
        QColor foreground() const;
    };

    enum class Size { Sm, Md, Lg };
    struct Metrics {
        qreal fontSize;
        qreal horizontalPadding;
        qreal height;
    };
    static Metrics metrics(Size size);
    static QFont font(Size size);

    Variant variant;
    Size size = Size::Md;

    // Paints the background, glass, border and shadow of the pill filling `rect`,
    // everything clipped to the capsule except the shadow's spread.
    void paintBackground(QPainter& painter, const QRectF& rect) const;
};

// The white hairline capsule of the pills, stroked inside `rect`.
void pillHairline(QPainter& painter, const QRectF& rect, qreal opacity);

} // namespace zova
