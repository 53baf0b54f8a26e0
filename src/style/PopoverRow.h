#pragma once

#include <QAbstractButton>
#include <QFont>

namespace zova {

// One row of a popover's menu: a symbol in the accent colour in a column of its
// own, a title and an optional smaller line under it, then empty space; the
// whole row is the button. Hovering tints it.
class PopoverRow : public QAbstractButton {
    Q_OBJECT
public:
    struct Look {
        qreal symbolWidth = 16;
        qreal symbolSize = 13;
        qreal spacing = 8;
        QFont titleFont;
        int verticalPadding = 5;
        int horizontalPadding = 10;
    };

    PopoverRow(const QString& symbol, const QString& title, Look look, QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    QString subtitle() const { return m_subtitle; }
    void setSubtitle(const QString& text);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    static QFont subtitleFont();

    QString m_symbol;
    QString m_subtitle;
    Look m_look;
    bool m_hovered = false;
};

} // namespace zova
