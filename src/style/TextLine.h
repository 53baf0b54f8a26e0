#pragma once

#include <QColor>
#include <QFont>
#include <QWidget>

#include <functional>

namespace zova {

// Text in a colour token: the font is fixed, the colour is read at paint time, so
// a switch between light and dark applies at once. One elided line, or wrapped
// lines; drawn inside the contents margins.
class TextLine final : public QWidget {
    Q_OBJECT
public:
    using ColorSource = std::function<QColor()>;

    TextLine(QString text, QFont font, ColorSource color, QWidget* parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString& text);
    void setColor(ColorSource color);
    QColor color() const { return m_color(); }
    QFont textFont() const { return m_font; }
    Qt::Alignment alignment() const { return m_alignment; }
    void setAlignment(Qt::Alignment alignment);
    // Wrapped lines with this alignment instead of one elided line.
    void setWrapping(Qt::Alignment alignment);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return m_wrap; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QFont m_font;
    ColorSource m_color;
    bool m_wrap = false;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
};

} // namespace zova
