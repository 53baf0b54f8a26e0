#include "app/CoachMarksService.h"

#include "base/NotifyingProperty.h"
#include "model/Settings.h"

#include <QDateTime>

#include <algorithm>

namespace zova {

QString CoachMarksService::rawValue(Tip tip)
{
    switch (tip) {
    case Tip::Welcome: return QStringLiteral("welcome");
    case Tip::NewGuide: return QStringLiteral("newGuide");
    case Tip::RightClickCard: return QStringLiteral("rightClickCard");
    case Tip::ReorderSteps: return QStringLiteral("reorderSteps");
    case Tip::Appearance: return QStringLiteral("appearance");
    case Tip::HelpMenu: return QStringLiteral("helpMenu");
    }
    return {};
}

std::optional<CoachMarksService::Tip> CoachMarksService::tipFromRaw(const QString& raw)
{
    for (Tip t : allTips)
        if (rawValue(t) == raw)
            return t;
    return std::nullopt;
}

CoachMarksService::CoachMarksService(Settings& settings, QObject* parent)
    : QObject(parent)
    , m_settings(&settings)
    , m_hasSeenTour(settings.isStored(settings::coachMarksSeenAllAt))
{
}

void CoachMarksService::setHasSeenTour(bool seen)
{
    setNotifying(this, m_hasSeenTour, seen, &CoachMarksService::hasSeenTourChanged);
}

void CoachMarksService::setActiveTip(std::optional<Tip> tip)
{
    setNotifying(this, m_activeTip, tip, &CoachMarksService::activeTipChanged);
}

void CoachMarksService::advance()
{
    if (!m_activeTip) {
        finish();
        return;
    }
    const auto it = std::find(allTips.begin(), allTips.end(), *m_activeTip);
    const auto next = std::next(it);
    if (next != allTips.end())
        setActiveTip(*next);
    else
        finish();
}

void CoachMarksService::finish()
{
    setActiveTip(std::nullopt);
    setHasSeenTour(true);
    if (m_settings)
        m_settings->setValue(settings::coachMarksSeenAllAt, QDateTime::currentDateTime());
}

QString CoachMarksService::positionLabel() const
{
    if (!m_activeTip)
        return {};
    const auto index = std::find(allTips.begin(), allTips.end(), *m_activeTip) - allTips.begin();
    return QStringLiteral("Tip %1 of %2").arg(index + 1).arg(allTips.size());
}

} // namespace zova
