#include "style/Overlay.h"

#include "style/Shapes.h"

#include <QEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

#include <algorithm>

namespace zova {

namespace {
constexpr qreal sheetShadowOpacity = 0.25;
constexpr qreal sheetShadowRadius = 36;
constexpr QPointF sheetShadowOffset { 0, 16 };
} // namespace

Overlay::Overlay(Backdrop backdrop, QWidget* host)
    : QWidget(host)
    , m_backdrop(backdrop)
{
    setAttribute(Qt::WA_NoMousePropagation);
    if (host) {
        host->installEventFilter(this);
        followHost();
    }
}

void Overlay::setSheet(QWidget* sheet, qreal cornerRadius)
{
    if (m_sheet)
        m_sheet->removeEventFilter(this);
    m_sheet = sheet;
    m_sheetRadius = cornerRadius;
    if (sheet) {
        sheet->setParent(this);
        sheet->setAttribute(Qt::WA_NoMousePropagation);
        // Its content changing size asks for a new layout; the sheet is placed anew then.
        sheet->installEventFilter(this);
        placeSheet();
    }
    update();
}

void Overlay::setDismissOnEscape(bool on)
{
    m_escape = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    if (on && !m_escapeShortcut) {
        // Escape anywhere in the window, also while the focus is outside the overlay.
        m_escapeShortcut = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        m_escapeShortcut->setContext(Qt::WindowShortcut);
        connect(m_escapeShortcut, &QShortcut::activated, this, &Overlay::requestDismiss);
    }
    if (m_escapeShortcut)
        m_escapeShortcut->setEnabled(on);
}

void Overlay::setDismissible(bool dismissible) { m_dismissible = dismissible; }

void Overlay::requestDismiss()
{
    if (m_dismissible)
        emit dismissRequested();
}

void Overlay::followHost()
{
    if (QWidget* host = parentWidget())
        setGeometry(host->rect());
}

void Overlay::placeSheet()
{
    if (!m_sheet)
        return;
    const QSize hint = m_sheet->sizeHint().expandedTo(m_sheet->minimumSizeHint());
    QSize size = hint.boundedTo(m_sheet->maximumSize()).expandedTo(m_sheet->minimumSize());
    if (m_sheet->hasHeightForWidth())
        size.setHeight(
            std::clamp(m_sheet->heightForWidth(size.width()), m_sheet->minimumHeight(), m_sheet->maximumHeight()));
    // Centred exactly, overlapping both edges alike when the host is smaller than the sheet.
    m_sheet->setGeometry((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(), size.height());
}

bool Overlay::isOnBackdrop(QPointF position) const
{
    return !m_sheet || !m_sheet->isVisible() || !m_sheet->geometry().contains(position.toPoint());
}

bool Overlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        followHost();
    else if (watched == m_sheet && event->type() == QEvent::LayoutRequest)
        placeSheet();
    return QWidget::eventFilter(watched, event);
}

void Overlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Shapes::withAlpha(Qt::black, m_backdrop.dim));
    painter.fillRect(rect(), Shapes::withAlpha(Qt::black, m_backdrop.tint));
    if (!m_sheet || !m_sheet->isVisible())
        return;
    const QPainterPath shape = Shapes::roundedRect(QRectF(m_sheet->geometry()), m_sheetRadius);
    Shapes::paintShadow(
        painter, shape, Shapes::withAlpha(Qt::black, sheetShadowOpacity), sheetShadowRadius, sheetShadowOffset);
    // Without a blur behind the glass, the window colour keeps the sheet legible.
    painter.fillPath(shape, Shapes::windowBackground());
}

void Overlay::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    placeSheet();
}

void Overlay::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    followHost();
    placeSheet();
    raise();
    if (m_escape)
        setFocus(Qt::OtherFocusReason);
}

void Overlay::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    m_backdropPressed = event->button() == Qt::LeftButton && isOnBackdrop(event->position());
}

void Overlay::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const bool click = m_backdropPressed && event->button() == Qt::LeftButton && isOnBackdrop(event->position());
    m_backdropPressed = false;
    if (click)
        requestDismiss();
}

void Overlay::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The first click of the pair already asked; the second one is swallowed.
    event->accept();
    m_backdropPressed = false;
}

void Overlay::wheelEvent(QWheelEvent* event) { event->accept(); }

void Overlay::keyPressEvent(QKeyEvent* event)
{
    if (m_escape && event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        requestDismiss();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace zova
