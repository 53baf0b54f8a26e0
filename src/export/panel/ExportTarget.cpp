#include "export/panel/ExportTarget.h"

#include "model/Guide.h"

namespace zova {

ExportTarget::ExportTarget(Guide* guide)
    : m_guide(guide)
{
}
ExportTarget::~ExportTarget() = default;
ExportTarget::ExportTarget(const ExportTarget&) = default;
ExportTarget& ExportTarget::operator=(const ExportTarget&) = default;

Guide* ExportTarget::guide() const { return m_guide; }

QString ExportTarget::title() const { return titleFor(m_guide ? m_guide->title() : QString()); }

QString ExportTarget::subtitle() const { return subtitleFor(m_guide ? m_guide->steps().size() : 0); }

QString ExportTarget::titleFor(const QString& guideTitle)
{
    return guideTitle.isEmpty() ? QStringLiteral("Untitled Guide") : guideTitle;
}

QString ExportTarget::subtitleFor(qsizetype stepCount)
{
    return QString::number(stepCount) + (stepCount == 1 ? QStringLiteral(" step") : QStringLiteral(" steps"))
        + QStringLiteral(" \u00B7 pick a format and a save location");
}

} // namespace zova
