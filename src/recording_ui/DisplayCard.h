#pragma once

#include "platform/DesktopSnapshot.h"
#include "recording_ui/TargetCard.h"

#include <functional>

namespace zova {

// A screen offered for recording, shown by name and size. A click calls
// `onStart` with the screen.
class DisplayCard final : public TargetCard {
    Q_OBJECT
public:
    using StartAction = std::function<void(const DesktopScreen& display)>;

    DisplayCard(DesktopScreen display, StartAction onStart, QWidget* parent = nullptr);

    const DesktopScreen& display() const { return m_display; }
    // "Main Display" for the primary screen, else "Display (W × H)".
    static QString displayName(const DesktopScreen& display);
    // "W × H".
    static QString sizeLine(const DesktopScreen& display);
    static QString subtitle() { return QStringLiteral("Entire Screen"); }

protected:
    void paintPreview(QPainter& painter, const QRectF& rect) override;
    void paintText(QPainter& painter, const QRectF& titleLine, const QRectF& secondLine) override;

private:
    DesktopScreen m_display;
    StartAction m_onStart;
};

} // namespace zova
