#pragma once

#include <QPointer>
#include <QWidget>

class QShortcut;

namespace zova {

// A sheet laid over a host widget: it covers the host and follows its size, dims
// it with a backdrop, centres one sheet on it (a card, drawn over its shadow and an
// opaque fill, so nothing of the host shows through) and turns every way out into
// one `dismissRequested`: a click on the backdrop (pressed and released outside the
// sheet), Escape when asked for, and whatever the subclass routes to requestDismiss().
// It never hides or deletes itself; the owner does, on the request.
class Overlay : public QWidget {
    Q_OBJECT
public:
    // Black over the host, and the black tint of the glass layer above it.
    struct Backdrop {
        qreal dim = 0.18;
        qreal tint = 0.15;
    };

    // Covers `host` from the start; without a host it is a window of its own.
    explicit Overlay(Backdrop backdrop, QWidget* host = nullptr);

    Backdrop backdrop() const { return m_backdrop; }
    QWidget* sheet() const { return m_sheet; }
    // Centres `sheet` (made a child) at its own size; clicks on it never reach the backdrop.
    void setSheet(QWidget* sheet, qreal cornerRadius);
    qreal sheetCornerRadius() const { return m_sheetRadius; }

    // Escape without modifiers asks for dismissal while the overlay is shown; off by default.
    void setDismissOnEscape(bool on);
    bool dismissesOnEscape() const { return m_escape; }
    // While not dismissible (work that must finish runs), every request is dropped.
    void setDismissible(bool dismissible);
    bool isDismissible() const { return m_dismissible; }

public slots:
    // The one way out: emits dismissRequested unless dismissal is blocked.
    void requestDismiss();

signals:
    void dismissRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void followHost();
    void placeSheet();
    bool isOnBackdrop(QPointF position) const;

    Backdrop m_backdrop;
    QPointer<QWidget> m_sheet;
    qreal m_sheetRadius = 0;
    bool m_escape = false;
    bool m_dismissible = true;
    QShortcut* m_escapeShortcut = nullptr;
    bool m_backdropPressed = false;
};

} // namespace zova
