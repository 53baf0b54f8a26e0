#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace zova {

// The page's blurred box shadows, each drawn instead as a stack of sharp shadows that
// step down the same Gaussian falloff. A printer rasterises every blurred shadow as an
// image at print resolution; sharp ones stay vector shapes. Appended after the page's
// stylesheet, the rules replace the blurred ones and keep the sharp ones as they are.
QString printShadowStylesheet();

// One blurred shadow as sharp layers: "x y 0 spread colour" entries, outermost first.
// `colour(alpha)` gives the CSS colour of a layer whose own alpha is `alpha` times the
// shadow's full colour.
struct BlurredShadow {
    double x = 0;
    double y = 0;
    double blur = 0;
};
QStringList sharpLayers(const BlurredShadow& shadow, double alpha, const std::function<QString(double)>& colour);

} // namespace zova
