#include "engine/VisionService.h"

#include <QFont>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace zova {
namespace {

QString quoted(const QString& text) { return QStringLiteral("Click ") + QChar(0x2018) + text + QChar(0x2019); }

struct Theme {
    const char* name;
    QColor window, face, frame, text;
};

const Theme light { "light", QColor(239, 239, 239), QColor(250, 250, 250), QColor(160, 160, 160), QColor(30, 30, 30) };
const Theme dark { "dark", QColor(43, 43, 43), QColor(60, 60, 60), QColor(20, 20, 20), QColor(230, 230, 230) };

QFont interfaceFont(int pixelSize = 13)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(pixelSize);
    return font;
}

// A small window in interface sizes: a menu bar, a row of framed keys that touch
// frame to frame, a radio button with its caption, and a button on a coloured face.
struct Window {
    QImage image;
    QList<QPair<QPoint, QString>> controls; // a click on each, and its caption
};

Window window(const Theme& theme)
{
    Window w { QImage(480, 200, QImage::Format_RGB32), {} };
    w.image.fill(theme.window);
    QPainter p(&w.image);
    p.setFont(interfaceFont());
    const QFontMetrics metrics(p.font());

    int x = 8;
    for (const QString& item : { QStringLiteral("File"), QStringLiteral("Edit"), QStringLiteral("View") }) {
        p.setPen(theme.text);
        p.drawText(x, 16, item);
        w.controls.append({ QPoint(x + metrics.horizontalAdvance(item) / 2, 12), item });
        x += metrics.horizontalAdvance(item) + 20;
    }

    const QStringList keys = { QStringLiteral("sin"), QStringLiteral("cos"), QStringLiteral("tan"),
        QStringLiteral("log"), QStringLiteral("AC") };
    for (int i = 0; i < keys.size(); ++i) {
        const QRect key(10 + 44 * i, 40, 42, 26);
        p.fillRect(key, theme.face);
        p.setPen(theme.frame);
        p.drawRect(key.adjusted(0, 0, -1, -1));
        p.setPen(theme.text);
        p.drawText(key, Qt::AlignCenter, keys[i]);
        w.controls.append({ key.center(), keys[i] });
    }

    p.setPen(theme.text);
    p.setRenderHint(QPainter::Antialiasing);
    // A chosen radio button: a ring around a dot.
    p.drawEllipse(QRect(12, 101, 10, 10));
    p.setBrush(theme.text);
    p.drawEllipse(QRect(15, 104, 4, 4));
    p.setBrush(Qt::NoBrush);
    p.drawText(28, 111, QStringLiteral("Old version"));
    w.controls.append({ QPoint(60, 106), QStringLiteral("Old version") });

    const QRect banner(250, 90, 200, 30);
    p.fillRect(banner, QColor(180, 40, 60));
    p.setPen(Qt::white);
    p.drawText(banner, Qt::AlignCenter, QStringLiteral("Root Instance"));
    w.controls.append({ banner.center(), QStringLiteral("Root Instance") });
    return w;
}

class ControlLabelTest : public ::testing::TestWithParam<Theme> { };

TEST_P(ControlLabelTest, NamesEachControlByItsOwnCaption)
{
    const Window w = window(GetParam());
    const VisionService vision;
    for (const auto& [click, caption] : w.controls) {
        const std::optional<QString> label = vision.recognizeStepLabel(click, w.image);
        EXPECT_EQ(label.value_or(QStringLiteral("no label")).toStdString(), quoted(caption).toStdString())
            << "click at " << click.x() << ", " << click.y();
    }
}

INSTANTIATE_TEST_SUITE_P(Themes, ControlLabelTest, ::testing::Values(light, dark),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ControlLabel, KeepsTheWordsOfOneCaptionTogether)
{
    // Words parted by single spaces are one phrase, in proportional and in
    // monospaced text; a click on any of them names the whole phrase.
    QImage image(480, 120, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setPen(Qt::black);
    p.setFont(interfaceFont());
    p.drawText(10, 30, QStringLiteral("Add note number 2"));
    QFont mono(QStringLiteral("DejaVu Sans Mono"));
    mono.setPixelSize(13);
    p.setFont(mono);
    p.drawText(10, 80, QStringLiteral("Coffee beans"));
    p.end();
    const VisionService vision;
    EXPECT_EQ(vision.recognizeStepLabel({ 100, 26 }, image), quoted(QStringLiteral("Add note number 2")));
    EXPECT_EQ(vision.recognizeStepLabel({ 30, 76 }, image), quoted(QStringLiteral("Coffee beans")));
}

} // namespace
} // namespace zova
