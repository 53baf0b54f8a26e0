#pragma once

#include <QAbstractButton>
#include <QString>

namespace zova {

// A round button of one symbol in the label colour on a disc of the control
// background, edged inside by a separator hairline: the close and back buttons.
class RoundSymbolButton : public QAbstractButton {
    Q_OBJECT
public:
    RoundSymbolButton(QString symbol, int side, qreal symbolSize, QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    QSize sizeHint() const override { return { m_side, m_side }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_symbol;
    int m_side;
    qreal m_symbolSize;
};

} // namespace zova
