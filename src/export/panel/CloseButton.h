#pragma once

#include <QAbstractButton>

namespace zova {

// A 22 x 22 round button with a bold cross.
class CloseButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit CloseButton(QWidget* parent = nullptr);
    QSize sizeHint() const override { return { 22, 22 }; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace zova
