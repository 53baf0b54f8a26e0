#pragma once

#include "style/PillButton.h"

namespace zova {

// The primary pill that starts an export; while busy it shows a spinning
// indicator and "Exporting…".
class ExportButton : public PillButton {
    Q_OBJECT
public:
    explicit ExportButton(QWidget* parent = nullptr);

    bool isBusy() const { return m_busy; }
    void setBusy(bool busy);

private:
    bool m_busy = false;
};

} // namespace zova
