#pragma once

#include "onboarding/CoachMarksService.h"

#include <QLinearGradient>
#include <QRectF>
#include <QString>

#include <optional>

namespace zova {

// What the tip card shows for one tip of the tour.
struct TipContent {
    QString symbol;
    QString title;
    QString body;

    static TipContent of(CoachMarksService::Tip tip);
    // "Got it" on the last tip (and with no tip), "Next" before it.
    static QString nextTitle(std::optional<CoachMarksService::Tip> tip);
    // The tour's colours, top-left to bottom-right of the rectangle: the icon
    // tile, the active progress dot and the Next button.
    static QLinearGradient brandGradient(const QRectF& rect);
};

} // namespace zova
