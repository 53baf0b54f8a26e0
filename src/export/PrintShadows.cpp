#include "export/PrintShadows.h"

#include <algorithm>
#include <cmath>

namespace zova {

namespace {

// Distance between two layers' edges, in CSS px: at most a fiftieth of the shadow's
// alpha lies between neighbours, below what a person tells apart.
constexpr double layerStep = 1.5;
// A Gaussian is all but gone two and a half deviations out.
constexpr double reach = 2.5;

// Share of the shadow's alpha at signed distance d outside its box's edge.
double falloff(double d, double sigma) { return 0.5 * std::erfc(d / (sigma * std::sqrt(2.0))); }

QString number(double v) { return QString::number(std::round(v * 100) / 100, 'g', 10); }

QString rgba(int r, int g, int b, double a)
{
    return QStringLiteral("rgba(%1,%2,%3,%4)").arg(r).arg(g).arg(b).arg(QString::number(a, 'f', 4));
}

QString colorMix(double percent)
{
    return QStringLiteral("color-mix(in srgb, var(--c) %1%, transparent)").arg(QString::number(percent, 'f', 2));
}

struct Rule {
    const char* selector;
    BlurredShadow shadow;
    double alpha;
    std::function<QString(double)> colour;
    QStringList keep; // the rule's sharp shadows, unchanged
};

} // namespace

QStringList sharpLayers(const BlurredShadow& shadow, double alpha, const std::function<QString(double)>& colour)
{
    // CSS blur radius is twice the deviation. An outer shadow shows only outside its
    // element, so layers reach inwards no further than the offset uncovers.
    const double sigma = shadow.blur / 2;
    const double outer = reach * sigma;
    const double inner = -(std::max(std::abs(shadow.x), std::abs(shadow.y)) + layerStep);
    const int count = std::max(2, int(std::ceil((outer - inner) / layerStep)) + 1);
    const double step = (outer - inner) / (count - 1);

    QStringList layers;
    double covered = 0; // alpha the layers so far add up to, composited
    for (int k = 0; k < count; ++k) {
        const double spread = outer - k * step;
        // Inside this layer's edge and outside the next one's, the stack must show the
        // falloff at the middle of the band; the innermost band runs on inwards.
        const double target = alpha * falloff(k + 1 < count ? spread - step / 2 : spread, sigma);
        const double own = 1 - (1 - target) / (1 - covered);
        if (own <= 0)
            continue;
        covered = target;
        layers.append(QStringLiteral("%1px %2px 0 %3px %4")
                          .arg(number(shadow.x), number(shadow.y), number(spread), colour(own / alpha)));
    }
    return layers;
}

QString printShadowStylesheet()
{
    auto black = [](double a) { return [a](double f) { return rgba(0, 0, 0, a * f); }; };
    const QList<Rule> rules = {
        { ".step", { 0, 4, 20 }, 0.05, black(0.05), { QStringLiteral("0 1px 0 rgba(255,255,255,0.6) inset") } },
        { ".step-number", { 0, 4, 12 }, 0.35, [](double f) { return rgba(168, 85, 247, 0.35 * f); },
            { QStringLiteral("inset 0 1px 0 rgba(255,255,255,0.4)") } },
        { ".screenshot-wrapper", { 0, 2, 12 }, 0.1, black(0.1), {} },
        { ".hotspot", { 0, 0, 20 }, 0.4, [](double f) { return rgba(255, 61, 138, 0.4 * f); },
            { QStringLiteral("0 0 0 5px rgba(255,61,138,0.22)") } },
        { ".ann-highlight", { 0, 0, 16 }, 0.35, [](double f) { return colorMix(35 * f); }, {} },
        { ".ann-text", { 0, 4, 12 }, 0.45, [](double f) { return colorMix(45 * f); }, {} },
    };
    QString css;
    for (const Rule& rule : rules) {
        // Sharp shadows first: the first shadow in the list is drawn on top.
        QStringList shadows = rule.keep;
        shadows += sharpLayers(rule.shadow, rule.alpha, rule.colour);
        css += QLatin1String(rule.selector) + QStringLiteral(" { box-shadow: ") + shadows.join(QStringLiteral(", "))
            + QStringLiteral("; }\n");
    }
    return css;
}

} // namespace zova
