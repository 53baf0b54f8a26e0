#include "editor/crop/CropOverlayView.h"

#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/Typography.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QShortcut>

namespace zova {

namespace {

using crop_geometry::Handle;

constexpr double dragDistance = 1;
constexpr double buttonSpacing = 10;
constexpr double bottomPadding = 24;
constexpr double hintSize = 11;
constexpr double hintPaddingX = 12;
constexpr double hintPaddingY = 5;
const QString hint = QStringLiteral("Drag inside to move · drag handles to resize");

Qt::CursorShape cursorFor(Handle handle)
{
    switch (handle) {
    case Handle::Left:
    case Handle::Right: return Qt::SizeHorCursor;
    case Handle::Top:
    case Handle::Bottom: return Qt::SizeVerCursor;
    case Handle::TopLeft:
    case Handle::TopRight:
    case Handle::BottomRight:
    case Handle::BottomLeft: return Qt::CrossCursor;
    }
    return Qt::ArrowCursor;
}

PillButton* makeButton(const QString& name, const QString& symbol, const QString& title, PillStyle::Variant variant,
    const QString& help, QWidget* parent)
{
    auto* button = new PillButton(title, parent);
    button->setObjectName(name);
    button->setSymbol(symbol);
    button->setToolTip(help);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    return pill(button, variant, PillStyle::Size::Md);
}

} // namespace

CropOverlayView::CropOverlayView(const QImage& image, bool offerImageEditor, QWidget* parent)
    : QWidget(parent)
    , m_image(image)
{
    setObjectName(QStringLiteral("cropOverlay"));
    setMouseTracking(true);
    m_cancel = makeButton(QStringLiteral("cropCancelButton"), QStringLiteral("xmark"), QStringLiteral("Cancel"),
        PillStyle::Variant::glass(false), QStringLiteral("Cancel crop (Esc)"), this);
    m_apply = makeButton(QStringLiteral("cropApplyButton"), QStringLiteral("checkmark"), QStringLiteral("Apply"),
        PillStyle::Variant::primary(), QStringLiteral("Apply crop (Return)"), this);
    if (offerImageEditor)
        m_imageEditor = makeButton(QStringLiteral("cropImageEditorButton"), QStringLiteral("sparkles.rectangle.stack"),
            QStringLiteral("Full Editor"), PillStyle::Variant::glass(false),
            QStringLiteral("Open in your default image editor"), this);
    connect(m_cancel, &QAbstractButton::clicked, this, &CropOverlayView::cancelled);
    connect(m_apply, &QAbstractButton::clicked, this, [this] { emit applied(m_crop); });
    if (m_imageEditor)
        connect(m_imageEditor, &QAbstractButton::clicked, this, &CropOverlayView::imageEditorRequested);

    const auto shortcut = [this](QKeySequence key, auto slot) {
        auto* s = new QShortcut(key, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::Key_Escape), [this] { emit cancelled(); });
    shortcut(QKeySequence(Qt::Key_Return), [this] { emit applied(m_crop); });
    shortcut(QKeySequence(Qt::Key_Enter), [this] { emit applied(m_crop); });
    placeButtons();
}

QRectF CropOverlayView::imageRect() const
{
    const QSizeF imageSize = m_image.deviceIndependentSize();
    return crop_geometry::fit(imageSize, QSizeF(size()));
}

QRectF CropOverlayView::viewCropRect() const { return crop_geometry::viewRect(m_crop, imageRect()); }

void CropOverlayView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const QRectF fitted = imageRect();
    const QSize pixels = (fitted.size() * devicePixelRatioF()).toSize();
    m_fitted = pixels.isEmpty()
        ? QPixmap()
        : QPixmap::fromImage(m_image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    m_fitted.setDevicePixelRatio(devicePixelRatioF());
    placeButtons();
}

void CropOverlayView::placeButtons()
{
    QList<PillButton*> row = { m_cancel, m_apply };
    if (m_imageEditor)
        row.append(m_imageEditor);
    int total = 0;
    for (PillButton* b : row) {
        b->resize(b->sizeHint());
        total += b->width();
    }
    total += int(buttonSpacing) * int(row.size() - 1);
    int x = (width() - total) / 2;
    const int rowHeight = row.first()->height();
    const int y = height() - int(bottomPadding) - rowHeight;
    for (PillButton* b : row) {
        b->move(x, y + (rowHeight - b->height()) / 2);
        x += b->width() + int(buttonSpacing);
    }
}

std::optional<CropOverlayView::Grip> CropOverlayView::gripAt(QPointF point) const
{
    const QRectF r = viewCropRect();
    if (const auto handle = crop_geometry::handleAt(point, r))
        return Grip { handle };
    if (crop_geometry::moveArea(r).contains(point))
        return Grip {};
    return std::nullopt;
}

void CropOverlayView::hover(QPointF point)
{
    const std::optional<Grip> grip = gripAt(point);
    if (!grip)
        unsetCursor();
    else if (grip->handle)
        setCursor(cursorFor(*grip->handle));
    else
        setCursor(Qt::OpenHandCursor);
}

void CropOverlayView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_grip = gripAt(event->position());
    m_pressedAt = event->position();
    m_dragStartRect.reset();
}

void CropOverlayView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_grip) {
        if (!(event->buttons() & Qt::LeftButton))
            hover(event->position());
        return;
    }
    const QPointF translation = event->position() - m_pressedAt;
    if (!m_dragStartRect) {
        if (std::hypot(translation.x(), translation.y()) < dragDistance)
            return;
        m_dragStartRect = m_crop;
    }
    const QPointF delta = crop_geometry::normalisedTranslation(translation, imageRect().size());
    m_crop = m_grip->handle ? crop_geometry::resized(*m_dragStartRect, *m_grip->handle, delta, m_minSize)
                            : crop_geometry::moved(*m_dragStartRect, delta);
    update();
}

void CropOverlayView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_grip.reset();
    m_dragStartRect.reset();
    hover(event->position());
}

void CropOverlayView::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    if (!m_grip)
        unsetCursor();
}

void CropOverlayView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), QColor(0, 0, 0, 115)); // black at 0.45

    const QRectF image = imageRect();
    if (!m_fitted.isNull())
        p.drawPixmap(image.topLeft(), m_fitted);

    const QRectF r = viewCropRect();
    QPainterPath dim;
    dim.setFillRule(Qt::OddEvenFill);
    dim.addRect(image);
    dim.addRect(r);
    p.fillPath(dim, QColor(0, 0, 0, 102)); // black at 0.4

    constexpr double frame = 1.5;
    p.setPen(QPen(Qt::white, frame));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r.adjusted(frame / 2, frame / 2, -frame / 2, -frame / 2));

    // The move area: an almost invisible glass pane that takes the drags.
    p.fillRect(crop_geometry::moveArea(r), QColor(255, 255, 255, 3));

    for (Handle h : crop_geometry::handles) {
        QRectF circle(0, 0, crop_geometry::handleDiameter, crop_geometry::handleDiameter);
        circle.moveCenter(crop_geometry::handlePosition(h, r));
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(circle);
        p.setPen(QPen(QColor(0, 0, 0, 64), 0.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(circle.adjusted(0.25, 0.25, -0.25, -0.25));
    }

    const QFont font = Typography::font(hintSize, QFont::Medium);
    const QFontMetricsF fm(font);
    const QSizeF hintBox(fm.horizontalAdvance(hint) + 2 * hintPaddingX, fm.height() + 2 * hintPaddingY);
    const double rowTop = m_cancel->y();
    const QRectF capsule(QPointF((width() - hintBox.width()) / 2, rowTop - buttonSpacing - hintBox.height()), hintBox);
    p.setPen(Qt::NoPen);
    p.fillPath(Shapes::capsule(capsule), QColor(0, 0, 0, 115));
    p.setFont(font);
    p.setPen(QColor(255, 255, 255, 217)); // white at 0.85
    p.drawText(capsule, Qt::AlignCenter, hint);
}

} // namespace zova
