#include "style/Typography.h"

#include <QGuiApplication>
#include <QScreen>

namespace zova::Typography {

namespace {
qreal logicalDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}
} // namespace

QFont font(qreal pixelSize, QFont::Weight weight, Design design)
{
    QFont f;
    switch (design) {
    case Design::Default: f.setFamilies({ QStringLiteral("Inter"), QStringLiteral("DejaVu Sans") }); break;
    case Design::Serif:
        f.setFamilies({ QStringLiteral("DejaVu Serif") });
        f.setStyleHint(QFont::Serif);
        break;
    case Design::Monospaced:
        f.setFamilies({ QStringLiteral("DejaVu Sans Mono") });
        f.setStyleHint(QFont::Monospace);
        break;
    }
    if (qFuzzyCompare(pixelSize, qreal(qRound(pixelSize))))
        f.setPixelSize(qRound(pixelSize));
    else
        f.setPointSizeF(pixelSize * 72.0 / logicalDpi());
    f.setWeight(weight);
    return f;
}

qreal pixelSize(const QFont& f)
{
    return f.pixelSize() > 0 ? qreal(f.pixelSize()) : f.pointSizeF() * logicalDpi() / 72.0;
}

} // namespace zova::Typography
