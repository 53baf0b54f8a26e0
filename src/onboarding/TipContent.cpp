#include "onboarding/TipContent.h"

#include <algorithm>

namespace zova {

TipContent TipContent::of(CoachMarksService::Tip tip)
{
    using Tip = CoachMarksService::Tip;
    switch (tip) {
    case Tip::Welcome:
        return { QStringLiteral("sparkles"), QStringLiteral("Welcome to Z.O.V.A"),
            QStringLiteral("Z.O.V.A captures clicks, screenshots, and OCR text automatically while you work \u2014 and "
                           "turns them into polished step-by-step guides.") };
    case Tip::NewGuide:
        return { QStringLiteral("plus.rectangle.on.rectangle"), QStringLiteral("Start with \u201c+ New Guide\u201d"),
            QStringLiteral("Hit the + New Guide button in the top right of the Library to start recording. Z.O.V.A "
                           "will pick a target window, then silently follow your clicks.") };
    case Tip::RightClickCard:
        return { QStringLiteral("hand.tap.fill"), QStringLiteral("Right-click any card"),
            QStringLiteral("Right-click any guide card to open the context menu. From there you can Open the guide or "
                           "Delete it permanently.") };
    case Tip::ReorderSteps:
        return { QStringLiteral("arrow.up.and.down.square.fill"), QStringLiteral("Drag to reorder steps"),
            QStringLiteral("Inside any guide, drag a step thumbnail up or down to change its order. The numbers "
                           "re-flow automatically.") };
    case Tip::Appearance:
        return { QStringLiteral("circle.lefthalf.filled"), QStringLiteral("Light, Dark, or System"),
            QStringLiteral("Switch the app's look anytime via View \u2192 Appearance, or use Ctrl+Alt+1 (System), "
                           "Ctrl+Alt+2 (Light), Ctrl+Alt+3 (Dark).") };
    case Tip::HelpMenu:
        return { QStringLiteral("questionmark.circle.fill"), QStringLiteral("Replay these tips anytime"),
            QStringLiteral("Forgot a tip? You can replay this whole tour from Help \u2192 Show tips again in the menu "
                           "bar.") };
    }
    return {};
}

QString TipContent::nextTitle(std::optional<CoachMarksService::Tip> tip)
{
    const auto& tips = CoachMarksService::allTips;
    const auto it = tip ? std::find(tips.begin(), tips.end(), *tip) : tips.end();
    const bool last = it == tips.end() || std::next(it) == tips.end();
    return last ? QStringLiteral("Got it") : QStringLiteral("Next");
}

QLinearGradient TipContent::brandGradient(const QRectF& rect)
{
    QLinearGradient g(rect.topLeft(), rect.bottomRight());
    g.setColorAt(0.0, QColor::fromRgbF(1.0f, 0.24f, 0.54f));
    g.setColorAt(0.5, QColor::fromRgbF(0.55f, 0.3f, 0.95f));
    g.setColorAt(1.0, QColor::fromRgbF(0.2f, 0.55f, 1.0f));
    return g;
}

} // namespace zova
