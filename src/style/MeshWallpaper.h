#pragma once

#include <QString>
#include <QWidget>

#include <array>
#include <optional>

namespace zova {

// The plain window background behind the library, the editor and onboarding.
class MeshWallpaper : public QWidget {
    Q_OBJECT
public:
    enum class Variant { Pink, Aurora, Citrus, Night };
    static constexpr std::array<Variant, 4> allVariants
        = { Variant::Pink, Variant::Aurora, Variant::Citrus, Variant::Night };
    static QString rawValue(Variant variant);
    static std::optional<Variant> variantFromRaw(const QString& raw);

    explicit MeshWallpaper(Variant variant = Variant::Pink, QWidget* parent = nullptr);
    Variant variant() const { return m_variant; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Variant m_variant;
};

} // namespace zova
