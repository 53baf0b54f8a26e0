#pragma once

#include "style/PillStyle.h"

#include <QAbstractButton>

class QTimer;

namespace zova {

// A button drawn as a pill: an optional symbol and a text. Its height is fixed by
// the size; only points inside the capsule hit it.
class PillButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit PillButton(const QString& text = {}, QWidget* parent = nullptr);

    PillStyle pillStyle() const { return m_style; }
    void setPillStyle(PillStyle style);
    QString symbol() const { return m_symbol; }
    void setSymbol(const QString& name);
    // A symbol drawn after the text (a checkmark, a key cap...); empty for none.
    void setTrailingText(const QString& text);
    // A symbol drawn after the text at a pixel size of its own; empty for none.
    void setTrailingSymbol(const QString& name, qreal pixelSize);
    QString trailingSymbol() const { return m_trailingSymbol; }
    // Without its title the pill shows only its symbol, where room is short; the
    // text stays the button's text and the help says what it does.
    void setTitleShown(bool shown);
    bool titleShown() const { return m_titleShown; }
    // A turning ring drawn in white in place of the symbol, while work runs.
    void setSpinning(bool spinning);
    bool isSpinning() const { return m_spinning; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    // The size with or without the title, whichever is shown now.
    QSize sizeHintWithTitle(bool shown) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    qreal contentWidth(bool titleShown) const;
    QString shownTitle(bool titleShown) const;
    PillStyle m_style;
    QString m_symbol;
    QString m_trailing;
    QString m_trailingSymbol;
    qreal m_trailingSymbolSize = 0;
    bool m_hovered = false;
    bool m_spinning = false;
    bool m_titleShown = true;
    int m_angle = 0;
    QTimer* m_spin = nullptr;
};

// Gives the button the pill look of a variant and a size.
PillButton* pill(PillButton* button, PillStyle::Variant variant, PillStyle::Size size);

} // namespace zova
