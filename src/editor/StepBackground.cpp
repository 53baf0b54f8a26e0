#include "editor/StepBackground.h"

#include "model/Guide.h"
#include "model/HexColor.h"
#include "model/Step.h"

namespace zova {

QString effectiveBackgroundHex(const Step& step)
{
    if (const auto own = step.videoBackgroundHex())
        return *own;
    if (const Guide* guide = step.guide())
        if (const auto guideHex = guide->videoBackgroundHex())
            return *guideHex;
    return QStringLiteral("f5f3ef");
}

QColor effectiveBackgroundColor(const Step& step)
{
    return colorFromHexString(effectiveBackgroundHex(step)).value_or(QColor(Qt::white));
}

} // namespace zova
