#pragma once

#include <QColor>
#include <QWidget>

#include <functional>
#include <optional>

namespace zova {

// One symbol in a fixed frame, optionally over a filled circle; colours are
// read at paint time.
class SymbolView final : public QWidget {
public:
    SymbolView(QString symbol, qreal pixelSize, std::function<QColor()> color, QSize frame, QWidget* parent = nullptr);
    // A circle of this colour filling the frame behind the symbol.
    void setCircle(std::function<QColor()> fill);
    QString symbol() const { return m_symbol; }
    void setSymbol(const QString& symbol);
    void setColor(std::function<QColor()> color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_symbol;
    qreal m_pixelSize;
    std::function<QColor()> m_color;
    std::function<QColor()> m_circle;
};

} // namespace zova
