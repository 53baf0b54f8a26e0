#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace zova {

// The page's blurred box shadows, made light for the PDF printer, which would
// otherwise rasterise each one at print resolution. The shadows of the page's own
// elements (step card, step number, screenshot, hotspot) are pictures of the same
// Gaussian blur, made once and laid around each element as nine-part border images;
// the marks' shadows, in each mark's own colour, are stacks of sharp shadows that
// step down the same falloff. Appended after the page's stylesheet, the rules replace
// the blurred shadows and keep the sharp ones as they are.
QString printShadowStylesheet();

// One element's blurred shadow as a picture: the shadow of a rounded box, with the
// box itself left clear, since an outer shadow only shows outside its element.
struct ShadowPicture {
    QString fileName; // beside the page
    QImage image; // premultiplied ARGB, `scale` pixels to a CSS px
    int scale = 2;
    int outset = 0; // CSS px the picture reaches beyond the element on every side
    int slice = 0; // CSS px of each edge part; the middle parts stretch
};

// A blurred shadow as CSS gives it: offset, blur radius (twice the deviation).
struct BlurredShadow {
    double x = 0;
    double y = 0;
    double blur = 0;
};

// The element an outer shadow picture is made for: its size in CSS px as made (the
// middle parts stretch to the element's real size), corner radius, shadow and colour.
struct ShadowedBox {
    QString fileName;
    double width = 0;
    double height = 0;
    double radius = 0;
    BlurredShadow shadow;
    QColor colour; // with the shadow's alpha
    bool stretches = true; // false: made at the element's own, fixed size
};

// The page's four shadowed elements, and the picture of one of them.
QList<ShadowedBox> printShadowBoxes();
ShadowPicture shadowPicture(const ShadowedBox& box);
// The pictures printShadowStylesheet() refers to, to be written beside the page.
QList<ShadowPicture> printShadowPictures();

// One blurred shadow as sharp layers: "x y 0 spread colour" entries, outermost first.
// `colour(alpha)` gives the CSS colour of a layer whose own alpha is `alpha` times the
// shadow's full colour.
QStringList sharpLayers(const BlurredShadow& shadow, double alpha, const std::function<QString(double)>& colour);

} // namespace zova
