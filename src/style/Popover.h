#pragma once

#include <QPointer>
#include <QWidget>

namespace zova {

// A card that opens below an anchor (a title-bar button), laid over the anchor's
// window with an arrow pointing up at it, and follows the anchor while shown.
// Every way out is one `dismissRequested`: a press anywhere else in that window
// (not on the anchor, which toggles the popover itself) and Escape. Presses in
// other windows, such as a dialog the content opened, do not count. It never
// hides or deletes itself; the owner does, on the request.
class Popover : public QWidget {
    Q_OBJECT
public:
    static constexpr int arrowHeight = 8;
    static constexpr qreal cornerRadius = 12;

    // `content` becomes the card's child, shown at its own size hint.
    Popover(QWidget* anchor, QWidget* content);

    QWidget* anchor() const { return m_anchor; }
    QWidget* content() const { return m_content; }
    // Places the card under the anchor, kept inside the window.
    void reposition();

public slots:
    void requestDismiss() { emit dismissRequested(); }

signals:
    void dismissRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRectF cardRect() const;

    QPointer<QWidget> m_anchor;
    QWidget* m_content;
    qreal m_arrowX = 0; // the arrow's tip, in the popover's coordinates
    const QEvent* m_lastPress = nullptr;
    quint64 m_lastPressTime = 0;
};

} // namespace zova
