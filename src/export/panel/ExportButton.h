#pragma once

#include "style/PillButton.h"

class QTimer;

namespace zova {

// The primary pill that starts an export; while busy it shows a spinning
// indicator and "Exporting…".
class ExportButton : public PillButton {
    Q_OBJECT
public:
    explicit ExportButton(QWidget* parent = nullptr);

    bool isBusy() const { return m_busy; }
    void setBusy(bool busy);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* m_spin;
    int m_angle = 0;
    bool m_busy = false;
};

} // namespace zova
