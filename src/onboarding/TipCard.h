#pragma once

#include "onboarding/CoachMarksService.h"
#include "onboarding/TipContent.h"

#include <QRectF>
#include <QWidget>

#include <array>

class QAbstractButton;

namespace zova {

// The card of one tip: symbol, position in the tour, title, text, progress dots,
// and the close, Skip and Next buttons. Its height follows its width; texts wrap.
class TipCard : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal padding = 24;
    static constexpr qreal cornerRadius = 22;

    // Where everything sits for a card of a given width, in card coordinates.
    struct Layout {
        QRectF iconTile; // 44 x 44
        QRectF caption; // the capsule around the position text
        QRectF close;
        QRectF title;
        QRectF body;
        std::array<QRectF, CoachMarksService::allTips.size()> dots;
        QRectF skip;
        QRectF next;
        qreal height = 0;
    };

    explicit TipCard(QWidget* parent = nullptr);

    void setTip(CoachMarksService::Tip tip, const QString& positionLabel);
    CoachMarksService::Tip tip() const { return m_tip; }
    const TipContent& content() const { return m_content; }
    QString positionLabel() const { return m_position; }

    Layout layoutFor(qreal width) const;
    QAbstractButton* closeButton() const { return m_close; }
    QAbstractButton* skipButton() const { return m_skip; }
    QAbstractButton* nextButton() const { return m_next; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

signals:
    void dismissRequested();
    void skipRequested();
    void nextRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void placeButtons();

    CoachMarksService::Tip m_tip = CoachMarksService::Tip::Welcome;
    TipContent m_content;
    QString m_position;
    QAbstractButton* m_close;
    QAbstractButton* m_skip;
    QAbstractButton* m_next;
};

} // namespace zova
