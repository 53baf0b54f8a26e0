#include "model/VideoBackground.h"

#include "model/Guide.h"
#include "model/HexColor.h"
#include "model/Step.h"

namespace zova::video_background {

QString defaultHex() { return QStringLiteral("f5f3ef"); }

QString effectiveHex(const std::optional<QString>& stepHex, const std::optional<QString>& guideHex)
{
    if (stepHex)
        return *stepHex;
    if (guideHex)
        return *guideHex;
    return defaultHex();
}

QString effectiveHex(const Step& step)
{
    const Guide* guide = step.guide();
    return effectiveHex(step.videoBackgroundHex(), guide ? guide->videoBackgroundHex() : std::nullopt);
}

QColor color(const QString& hex) { return colorFromHexString(hex).value_or(QColor(Qt::white)); }

} // namespace zova::video_background
