#include "style/MeshWallpaper.h"

#include "style/Shapes.h"

#include <QPainter>

namespace zova {

QString MeshWallpaper::rawValue(Variant variant)
{
    switch (variant) {
    case Variant::Pink: return QStringLiteral("pink");
    case Variant::Aurora: return QStringLiteral("aurora");
    case Variant::Citrus: return QStringLiteral("citrus");
    case Variant::Night: return QStringLiteral("night");
    }
    return {};
}

std::optional<MeshWallpaper::Variant> MeshWallpaper::variantFromRaw(const QString& raw)
{
    for (Variant v : allVariants)
        if (rawValue(v) == raw)
            return v;
    return std::nullopt;
}

MeshWallpaper::MeshWallpaper(Variant variant, QWidget* parent)
    : QWidget(parent)
    , m_variant(variant)
{
}

void MeshWallpaper::paintEvent(QPaintEvent*)
{
    // Every variant is the window background colour.
    QPainter painter(this);
    painter.fillRect(rect(), Shapes::windowBackground());
}

} // namespace zova
