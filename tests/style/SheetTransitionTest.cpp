#include "style/SheetTransition.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QPointer>
#include <QPropertyAnimation>
#include <QWidget>

#include <gtest/gtest.h>

using namespace zova;

namespace {

// A white host covered by a red sheet.
struct Scene {
    Scene()
    {
        host.resize(400, 300);
        host.setAutoFillBackground(true);
        QPalette palette;
        palette.setColor(QPalette::Window, Qt::white);
        host.setPalette(palette);
        sheet = new QWidget(&host);
        sheet->setGeometry(host.rect());
        sheet->setAutoFillBackground(true);
        palette.setColor(QPalette::Window, Qt::red);
        sheet->setPalette(palette);
        host.show();
    }
    QColor pixel(QPoint at) { return host.grab().toImage().pixelColor(at); }

    QWidget host;
    QPointer<QWidget> sheet;
};

// The animation is held and moved by hand: each tick gives its opacity and scale.
TEST(SheetTransition, ComesInFadingAndScalingFromItsCentre)
{
    Scene scene;
    SheetTransition* in = SheetTransition::enter(scene.sheet);
    ASSERT_EQ(scene.sheet->graphicsEffect(), in);
    ASSERT_EQ(in->animation()->duration(), 220);
    in->animation()->pause();
    const struct {
        int ms;
        qreal opacity, scale;
    } ticks[] = { { 0, 0, 0.96 }, { 55, 0.125, 0.965 }, { 110, 0.5, 0.98 }, { 165, 0.875, 0.995 } };
    for (const auto& tick : ticks) {
        in->animation()->setCurrentTime(tick.ms);
        EXPECT_NEAR(in->opacity(), tick.opacity, 1e-9) << tick.ms << " ms";
        EXPECT_NEAR(in->scale(), tick.scale, 1e-9) << tick.ms << " ms";
    }

    // Half way: half transparent, and drawn 0.98 of its size about its centre, so
    // a rim of 2 % of the host (4 by 3 pixels each side) stays uncovered.
    in->animation()->setCurrentTime(110);
    EXPECT_EQ(scene.pixel({ 1, 1 }), QColor(Qt::white)) << "outside the scaled sheet";
    EXPECT_EQ(scene.pixel({ 398, 150 }), QColor(Qt::white));
    const QColor half = scene.pixel({ 10, 10 });
    EXPECT_NEAR(half.red(), 255, 2);
    EXPECT_NEAR(half.green(), 128, 3) << "red over white at half opacity";
    EXPECT_EQ(scene.pixel({ 200, 150 }), half);

    in->animation()->setCurrentTime(220);
    EXPECT_EQ(scene.sheet->graphicsEffect(), nullptr) << "fully in, the sheet draws itself again";
    EXPECT_EQ(scene.pixel({ 1, 1 }), QColor(Qt::red));
}

TEST(SheetTransition, GoesOutTheSameWayThenIsDeleted)
{
    Scene scene;
    SheetTransition* out = SheetTransition::leaveAndDelete(scene.sheet);
    EXPECT_TRUE(scene.sheet->testAttribute(Qt::WA_TransparentForMouseEvents)) << "it takes no input while it goes";
    out->animation()->pause();
    out->animation()->setCurrentTime(0);
    EXPECT_EQ(out->opacity(), 1);
    EXPECT_EQ(out->scale(), 1);
    out->animation()->setCurrentTime(110);
    EXPECT_NEAR(out->opacity(), 0.5, 1e-9);
    EXPECT_NEAR(out->scale(), 0.98, 1e-9);
    EXPECT_EQ(scene.pixel({ 1, 1 }), QColor(Qt::white));
    out->animation()->setCurrentTime(220);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(scene.sheet.isNull()) << "deleted once out";
}

// A sheet sent away while it still comes in goes from where it was.
TEST(SheetTransition, LeavingDuringTheEntranceStartsFromWhereItIs)
{
    Scene scene;
    SheetTransition* in = SheetTransition::enter(scene.sheet);
    in->animation()->pause();
    in->animation()->setCurrentTime(110);
    SheetTransition* out = SheetTransition::leaveAndDelete(scene.sheet);
    out->animation()->pause();
    out->animation()->setCurrentTime(0);
    EXPECT_NEAR(out->opacity(), 0.5, 1e-9);
    EXPECT_EQ(out->animation()->duration(), 110) << "the rest of the way takes the rest of the time";
    out->animation()->setCurrentTime(110);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(scene.sheet.isNull());
}

} // namespace
