#pragma once

#include <QWidget>

namespace zova {

// The separator line across a card: one pixel high, inset 24 on both sides, at half opacity.
class Divider final : public QWidget {
    Q_OBJECT
public:
    static constexpr int inset = 24;

    explicit Divider(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace zova
