#include "model/VideoBackground.h"
#include "model/Guide.h"
#include "model/Step.h"

#include <gtest/gtest.h>

#include <memory>

using namespace zova;

namespace {

std::optional<QString> text(const char* s) { return s ? std::optional<QString>(QString::fromUtf8(s)) : std::nullopt; }

} // namespace

TEST(VideoBackgroundTest, StepColourElseGuideColourElseDefault)
{
    struct Row {
        const char* name;
        const char* step;
        const char* guide;
        const char* expected;
    };
    for (const Row& r : {
             Row { "nothing set", nullptr, nullptr, "f5f3ef" },
             Row { "guide colour", nullptr, "112233", "112233" },
             Row { "step override wins", "aabbcc", "112233", "aabbcc" },
             Row { "override without guide colour", "aabbcc", nullptr, "aabbcc" },
             Row { "stored text kept as is", "#FF0000", nullptr, "#FF0000" },
             Row { "empty override still counts", "", "112233", "" },
             Row { "malformed guide colour kept", nullptr, "ff00zz", "ff00zz" },
         }) {
        EXPECT_EQ(video_background::effectiveHex(text(r.step), text(r.guide)), QString::fromUtf8(r.expected)) << r.name;

        // The same through the records.
        Guide guide(QStringLiteral("g"), AccentHue::Pink, QStringLiteral("AB"));
        guide.setVideoBackgroundHex(text(r.guide));
        auto step = std::make_unique<Step>(0, QStringLiteral("a.png"), 0.5, 0.5);
        step->setVideoBackgroundHex(text(r.step));
        step->setGuide(&guide);
        EXPECT_EQ(video_background::effectiveHex(*step), QString::fromUtf8(r.expected)) << r.name;
        step->setGuide(nullptr);
    }
    Step orphan;
    EXPECT_EQ(video_background::effectiveHex(orphan), QStringLiteral("f5f3ef")) << "a step without a guide";
}

TEST(VideoBackgroundTest, ColourTextReadsOnceForEveryView)
{
    struct Row {
        const char* hex;
        QRgb expected;
    };
    for (const Row& r : {
             Row { "ff0000", qRgb(255, 0, 0) },
             Row { "F5F3EF", qRgb(0xf5, 0xf3, 0xef) },
             Row { "#ff0000", qRgb(255, 0, 0) },
             Row { "  #10b981\n", qRgb(0x10, 0xb9, 0x81) },
             Row { "ff00zz", qRgb(255, 255, 255) },
             Row { "ff00", qRgb(255, 255, 255) },
             Row { "ff000000", qRgb(255, 255, 255) },
             Row { "0x00ff", qRgb(255, 255, 255) },
             Row { "", qRgb(255, 255, 255) },
         }) {
        const QColor c = video_background::color(QString::fromUtf8(r.hex));
        EXPECT_EQ(c.rgba(), r.expected | 0xff000000u) << r.hex;
    }
}
