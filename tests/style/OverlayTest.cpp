#include "style/Overlay.h"
#include "style/SelectableCard.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>

using namespace zova;

namespace {

// A host that paints itself red and counts the mouse and wheel events that reach it.
class Host : public QWidget {
public:
    int presses = 0;
    int wheels = 0;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), Qt::red); }
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    void wheelEvent(QWheelEvent*) override { ++wheels; }
};

constexpr QSize sheetSize { 300, 200 };

class OverlayFixture : public testing::Test {
protected:
    void SetUp() override
    {
        host.resize(800, 600);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        overlay = new Overlay(Overlay::Backdrop { 0.2, 0.25 }, &host);
        sheet = new QWidget;
        sheet->setFixedSize(sheetSize);
        child = new QWidget(sheet);
        child->setGeometry(20, 20, 100, 40);
        overlay->setSheet(sheet, 24);
        overlay->show();
        QCoreApplication::processEvents();
        dismissals = std::make_unique<QSignalSpy>(overlay, &Overlay::dismissRequested);
    }

    QPoint inSheet(QPoint p) const { return sheet->geometry().topLeft() + p; }

    Host host;
    Overlay* overlay = nullptr;
    QWidget* sheet = nullptr;
    QWidget* child = nullptr;
    std::unique_ptr<QSignalSpy> dismissals;
};

TEST_F(OverlayFixture, CoversTheHostAndKeepsTheSheetCentredAsTheHostResizes)
{
    for (QSize size : { QSize(800, 600), QSize(1001, 703), QSize(640, 480), QSize(200, 120) }) {
        host.resize(size);
        QCoreApplication::processEvents();
        EXPECT_EQ(overlay->geometry(), QRect(QPoint(0, 0), size)) << size.width();
        EXPECT_EQ(sheet->size(), sheetSize) << "the sheet keeps its own size";
        EXPECT_EQ(sheet->geometry().left(), (size.width() - sheetSize.width()) / 2) << size.width();
        EXPECT_EQ(sheet->geometry().top(), (size.height() - sheetSize.height()) / 2) << size.width();
    }
}

TEST(Overlay, ASheetWhoseContentGrowsStaysCentred)
{
    QWidget host;
    host.resize(800, 600);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    Overlay overlay({}, &host);
    auto* sheet = new QWidget;
    sheet->setFixedWidth(400);
    auto* column = new QVBoxLayout(sheet);
    column->setContentsMargins(0, 0, 0, 0);
    auto* content = new QWidget(sheet);
    content->setFixedHeight(100);
    column->addWidget(content);
    overlay.setSheet(sheet, 24);
    overlay.show();
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet->geometry(), QRect(200, 250, 400, 100));
    content->setFixedHeight(300);
    QCoreApplication::processEvents();
    EXPECT_EQ(sheet->geometry(), QRect(200, 150, 400, 300));
}

TEST_F(OverlayFixture, OneRequestPerWayOutAndNoneFromInsideTheSheet)
{
    overlay->setDismissOnEscape(true);
    const QPoint backdrop(10, 10);
    struct Route {
        const char* name;
        std::function<void()> act;
        int requests;
    };
    const Route routes[] = {
        { "click on the backdrop", [&] { QTest::mouseClick(overlay, Qt::LeftButton, {}, backdrop); }, 1 },
        { "click under the sheet's corner", [&] { QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(790, 590)); },
            1 },
        { "double click on the backdrop",
            [&] {
                QTest::mouseClick(overlay, Qt::LeftButton, {}, backdrop);
                QTest::mouseDClick(overlay, Qt::LeftButton, {}, backdrop);
                QTest::mouseRelease(overlay, Qt::LeftButton, {}, backdrop);
            },
            1 },
        { "right click on the backdrop", [&] { QTest::mouseClick(overlay, Qt::RightButton, {}, backdrop); }, 0 },
        { "click on the sheet's bare background",
            [&] {
                QTest::mouseClick(sheet, Qt::LeftButton, {}, { 290, 190 });
            },
            0 },
        { "click on a child of the sheet",
            [&] {
                QTest::mouseClick(child, Qt::LeftButton, {}, { 5, 5 });
            },
            0 },
        { "pressed on the backdrop, released on the sheet",
            [&] {
                QTest::mousePress(overlay, Qt::LeftButton, {}, backdrop);
                QTest::mouseRelease(overlay, Qt::LeftButton, {}, inSheet({ 150, 100 }));
            },
            0 },
        { "pressed on the sheet, released on the backdrop",
            [&] {
                QTest::mousePress(sheet, Qt::LeftButton, {}, { 150, 100 });
                QTest::mouseRelease(sheet, Qt::LeftButton, {}, { -50, -50 });
            },
            0 },
        { "escape", [&] { QTest::keyClick(overlay, Qt::Key_Escape); }, 1 },
        { "escape on a child of the sheet", [&] { QTest::keyClick(child, Qt::Key_Escape); }, 1 },
        { "shift escape", [&] { QTest::keyClick(overlay, Qt::Key_Escape, Qt::ShiftModifier); }, 0 },
        { "another key", [&] { QTest::keyClick(overlay, Qt::Key_Return); }, 0 },
        { "asked for in code", [&] { overlay->requestDismiss(); }, 1 },
    };
    for (const Route& route : routes) {
        dismissals->clear();
        route.act();
        QCoreApplication::processEvents();
        EXPECT_EQ(dismissals->count(), route.requests) << route.name;
        EXPECT_TRUE(overlay->isVisible()) << route.name << ": the overlay stays until its owner removes it";
    }
    EXPECT_EQ(host.presses, 0) << "no click reaches the host under the backdrop";
}

TEST_F(OverlayFixture, EscapeOnlyWhenAskedForAndNothingWhileNotDismissible)
{
    QTest::keyClick(overlay, Qt::Key_Escape);
    EXPECT_EQ(dismissals->count(), 0) << "Escape is off by default";

    overlay->setDismissOnEscape(true);
    overlay->setDismissible(false);
    QTest::keyClick(overlay, Qt::Key_Escape);
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(10, 10));
    overlay->requestDismiss();
    EXPECT_EQ(dismissals->count(), 0);

    overlay->setDismissible(true);
    QTest::mouseClick(overlay, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(dismissals->count(), 1);

    overlay->setDismissOnEscape(false);
    QTest::keyClick(overlay, Qt::Key_Escape);
    EXPECT_EQ(dismissals->count(), 1);
}

TEST(Overlay, EscapeReachesItWhileTheFocusIsElsewhereInTheWindow)
{
    QWidget window;
    auto* row = new QHBoxLayout(&window);
    auto* field = new QLineEdit(&window);
    auto* host = new QWidget(&window);
    row->addWidget(field);
    row->addWidget(host);
    window.resize(800, 400);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    Overlay overlay({}, host);
    overlay.setDismissOnEscape(true);
    overlay.show();
    field->setFocus();
    QCoreApplication::processEvents();
    QSignalSpy dismissals(&overlay, &Overlay::dismissRequested);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_EQ(dismissals.count(), 1);
}

TEST_F(OverlayFixture, WheelOnTheBackdropStaysThere)
{
    QWheelEvent wheel(QPointF(10, 10), overlay->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, -120), Qt::NoButton,
        Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(overlay, &wheel);
    EXPECT_EQ(host.wheels, 0);
}

TEST_F(OverlayFixture, BackdropDimsTheHostAndNothingOfItShowsThroughTheSheet)
{
    // The sheet itself paints nothing: what shows there is the overlay's fill.
    const QImage shot = host.grab().toImage();
    const QColor dimmed = shot.pixelColor(10, 10);
    const int expectedRed = qRound(255 * (1 - 0.2) * (1 - 0.25));
    EXPECT_NEAR(dimmed.red(), expectedRed, 2);
    EXPECT_EQ(dimmed.green(), 0);
    const QColor underSheet = shot.pixelColor(sheet->geometry().center());
    const QColor window = QApplication::palette().color(QPalette::Window);
    EXPECT_EQ(underSheet.rgb(), window.rgb());
}

// The least a card can be: it paints nothing.
class Card final : public SelectableCard {
public:
    explicit Card(QWidget* parent)
        : SelectableCard(parent)
    {
        setFixedSize(40, 40);
    }

protected:
    void paintEvent(QPaintEvent*) override { }
};

TEST(SelectableCard, OneSelectedAmongItsSiblings)
{
    QWidget row;
    QWidget other;
    Card* cards[] = { new Card(&row), new Card(&row), new Card(&row) };
    auto* elsewhere = new Card(&other);
    cards[0]->setChecked(true);
    elsewhere->setChecked(true);

    auto selection = [&] {
        QString s;
        for (Card* card : cards)
            s += card->isChecked() ? '1' : '0';
        return s;
    };
    QSignalSpy clicks(cards[2], &QAbstractButton::clicked);
    QTest::mouseClick(cards[2], Qt::LeftButton);
    EXPECT_EQ(selection(), "001");
    QTest::mouseClick(cards[2], Qt::LeftButton);
    EXPECT_EQ(selection(), "001") << "a click never unselects";
    EXPECT_EQ(clicks.count(), 2);
    cards[1]->setChecked(true);
    EXPECT_EQ(selection(), "010");
    cards[1]->setChecked(false);
    EXPECT_EQ(selection(), "010") << "the selected card stays until another is selected";
    cards[0]->setEnabled(false);
    QTest::mouseClick(cards[0], Qt::LeftButton);
    EXPECT_EQ(selection(), "010");
    EXPECT_TRUE(elsewhere->isChecked()) << "cards of another parent are a selection of their own";
}

TEST(TextLine, PaintsTheTokenOfTheCurrentPalette)
{
    const QPalette original = QApplication::palette();
    QPalette light = original;
    light.setColor(QPalette::WindowText, QColor(0x1D, 0x1D, 0x1F));
    QPalette dark = original;
    dark.setColor(QPalette::WindowText, QColor(0xF2, 0xF2, 0xF4));

    QApplication::setPalette(light);
    TextLine line(QStringLiteral("MMMMMMMM"), Typography::bold(20), ZOVAColor::label);
    line.resize(line.sizeHint());
    // The fully covered pixels of the glyphs carry exactly the text colour.
    auto opaqueColours = [&] {
        QImage image(line.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        line.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) == 255)
                    colours.insert(image.pixel(x, y));
        return colours;
    };
    EXPECT_EQ(opaqueColours(), QSet<QRgb> { QColor(0x1D, 0x1D, 0x1F).rgb() });
    QApplication::setPalette(dark);
    EXPECT_EQ(opaqueColours(), QSet<QRgb> { QColor(0xF2, 0xF2, 0xF4).rgb() })
        << "the text takes the new palette's colour without being told";
    QApplication::setPalette(original);
}

} // namespace
