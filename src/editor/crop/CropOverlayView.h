#pragma once

#include "editor/crop/CropGeometry.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <optional>

namespace zova {

class PillButton;

// The crop tool, shown in place of the screenshot while a crop is under way:
// the screenshot fitted into the view, everything outside the crop rectangle
// dimmed, a drag inside the rectangle moves it and eight handles resize it.
// Cancel (Escape), Apply (Return) and the image-editor hand-off are signals;
// the overlay itself changes nothing. Made afresh for every crop, at (0, 0, 1, 1).
class CropOverlayView : public QWidget {
    Q_OBJECT
public:
    CropOverlayView(const QImage& image, bool offerImageEditor, QWidget* parent = nullptr);

    // The image shown.
    QImage image() const { return m_image; }
    // Fractions of the image, origin top left.
    QRectF cropRect() const { return m_crop; }
    double minSize() const { return m_minSize; }
    // Where the image is shown, in the view's units.
    QRectF imageRect() const;
    // The crop rectangle in the view's units.
    QRectF viewCropRect() const;

    PillButton* cancelButton() const { return m_cancel; }
    PillButton* applyButton() const { return m_apply; }
    // Null when no image editor is offered.
    PillButton* imageEditorButton() const { return m_imageEditor; }

signals:
    void cancelled();
    void applied(const QRectF& rect);
    void imageEditorRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // What a press at the point takes hold of: a handle, the move area, or nothing.
    struct Grip {
        std::optional<crop_geometry::Handle> handle;
    };
    std::optional<Grip> gripAt(QPointF point) const;
    void hover(QPointF point);
    void placeButtons();

    QImage m_image;
    QPixmap m_fitted;
    QRectF m_crop { 0, 0, 1, 1 };
    double m_minSize = crop_geometry::defaultMinSize;
    // The crop as it was when the current drag began; none between drags.
    std::optional<QRectF> m_dragStartRect;
    std::optional<Grip> m_grip;
    QPointF m_pressedAt;

    PillButton* m_cancel = nullptr;
    PillButton* m_apply = nullptr;
    PillButton* m_imageEditor = nullptr;
};

} // namespace zova
