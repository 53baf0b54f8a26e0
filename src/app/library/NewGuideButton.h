#pragma once

#include <QAbstractButton>

namespace zova {

// The header's accent "New Guide" button with its record glyph and key cap.
class NewGuideButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit NewGuideButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace zova
