#pragma once

#include <QColor>
#include <QWidget>

class QPainter;

namespace zova {

// A rounded container: the tone's fill under a translucent glass layer and hairline.
class GlassCard : public QWidget {
    Q_OBJECT
public:
    struct Tone {
        enum class Kind { Tint, Clear, Light, Strong, Dark, Inkier };
        Kind kind = Kind::Light;
        QColor tint; // for Tint only

        static Tone tinted(const QColor& c) { return { Kind::Tint, c }; }
        static Tone clear() { return { Kind::Clear, {} }; }
        static Tone light() { return { Kind::Light, {} }; }
        static Tone strong() { return { Kind::Strong, {} }; }
        static Tone dark() { return { Kind::Dark, {} }; }
        static Tone inkier() { return { Kind::Inkier, {} }; }
    };

    explicit GlassCard(Tone tone = Tone::light(), qreal cornerRadius = 16, QWidget* parent = nullptr);

    Tone tone() const { return m_tone; }
    void setTone(Tone tone);
    qreal cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(qreal radius);

    // The fill under the glass, read from the palette at call time.
    static QColor tintFill(const Tone& tone);
    // Paints a card into any painter: the fill, then the glass layer in the same shape.
    static void paint(QPainter& painter, const QRectF& rect, const Tone& tone, qreal cornerRadius);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Tone m_tone;
    qreal m_cornerRadius;
};

} // namespace zova
