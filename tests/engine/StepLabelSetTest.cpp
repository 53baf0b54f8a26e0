#include "engine/LabelSet.h"
#include "engine/VisionService.h"

#include <gtest/gtest.h>

namespace zova {
namespace {

// How many clicks of the labelled set must get exactly the expected label: the
// share reached when this floor was set, less a little room.
constexpr int exactFloor = 66;

TEST(StepLabelSet, NamesTheClickedControlsOfRealApplications)
{
    const labelset::Set set = labelset::load(QStringLiteral(ZOVA_LABEL_SET_DIR));
    ASSERT_TRUE(set.error.isEmpty()) << set.error.toStdString();
    ASSERT_GE(set.clicks.size(), 60);

    const VisionService vision;
    int exact = 0;
    QStringList misses;
    for (const labelset::Click& click : set.clicks) {
        const std::optional<QString> label = vision.recognizeStepLabel(click.point, set.images.value(click.image));
        if (label == VisionService::formatLabel(click.text))
            ++exact;
        else
            misses << QStringLiteral("%1 (%2, %3): %4 instead of %5")
                          .arg(click.image)
                          .arg(click.point.x())
                          .arg(click.point.y())
                          .arg(label.value_or(QStringLiteral("no label")), click.text);
    }
    EXPECT_GE(exact, exactFloor) << misses.join(QLatin1Char('\n')).toStdString();
}

} // namespace
} // namespace zova
