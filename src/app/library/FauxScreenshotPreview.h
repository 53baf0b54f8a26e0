#pragma once

#include "model/AccentHue.h"

#include <QWidget>

class QPainter;

namespace zova {

// A drawing of a generic application window with a highlighted click target,
// shown where a guide has no screenshot. The hue is kept and not drawn.
class FauxScreenshotPreview : public QWidget {
    Q_OBJECT
public:
    FauxScreenshotPreview(AccentHue hue, const QString& label, QWidget* parent = nullptr);
    AccentHue hue() const { return m_hue; }
    QString label() const { return m_label; }

    static void paint(QPainter& painter, const QRectF& rect, AccentHue hue, const QString& label);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    AccentHue m_hue;
    QString m_label;
};

} // namespace zova
