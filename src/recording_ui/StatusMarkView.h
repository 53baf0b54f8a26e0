#pragma once

#include <QWidget>

namespace zova {

// The control panel's status mark, 32 wide: a magenta dot with a ring, or the
// amber warning triangle.
class StatusMarkView final : public QWidget {
public:
    explicit StatusMarkView(QWidget* parent = nullptr);
    void setState(bool warning, qreal ringOpacity);
    bool isWarning() const { return m_warning; }
    qreal ringOpacity() const { return m_ringOpacity; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_warning = false;
    qreal m_ringOpacity = 1;
};

} // namespace zova
