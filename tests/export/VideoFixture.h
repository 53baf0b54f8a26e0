#pragma once

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "support/TestStorage.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <memory>

// A fresh store in a temporary folder with helpers that add steps whose
// screenshots are real PNGs in the screenshot folder.
class VideoFixture : public ::testing::Test {
public:
    void SetUp() override
    {
        auto opened = zova::ModelContainer::open(m_dir.path() + QStringLiteral("/ZOVA.store"));
        ASSERT_TRUE(opened.hasValue());
        m_container = std::move(opened).value();
        m_guide = new zova::Guide(QStringLiteral("Fixture guide"));
        ASSERT_TRUE(context()->insert(m_guide));
    }

    zova::ModelContext* context() const { return m_container->mainContext(); }

    // A screenshot with a grid of coloured cells, so scaling and blurring show.
    static QImage screenshot(int w, int h, QColor base = QColor(40, 120, 200))
    {
        QImage img(w, h, QImage::Format_ARGB32);
        img.fill(base);
        QPainter p(&img);
        for (int y = 0; y < h; y += 20)
            for (int x = 0; x < w; x += 20)
                if (((x + y) / 20) % 2)
                    p.fillRect(x, y, 10, 10, QColor(250, 250, 250));
        return img;
    }

    // A light application window: title bar, sidebar, text lines and a button at
    // (0.78, 0.86) of the image, where a click would land.
    static QImage appWindow(int w, int h, const QString& title, const QString& button)
    {
        QImage img(w, h, QImage::Format_ARGB32);
        img.fill(QColor(250, 250, 252));
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(h / 40);
        p.setFont(font);
        p.fillRect(0, 0, w, h / 16, QColor(52, 58, 74));
        p.setPen(Qt::white);
        p.drawText(QRect(0, 0, w, h / 16), Qt::AlignCenter, title);
        p.fillRect(0, h / 16, w / 5, h, QColor(234, 236, 242));
        p.setPen(QColor(40, 40, 48));
        for (int i = 0; i < 12; ++i)
            p.drawText(w / 40, h / 16 + (i + 1) * h / 16, QStringLiteral("Folder %1").arg(i + 1));
        for (int i = 0; i < 9; ++i)
            p.fillRect(w / 4, h / 8 + i * h / 14, w / 2 + (i % 3) * w / 12, h / 60, QColor(200, 204, 214));
        const QRectF b(w * 0.70, h * 0.82, w * 0.16, h * 0.08);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(40, 110, 220));
        p.drawRoundedRect(b, h / 80.0, h / 80.0);
        p.setPen(Qt::white);
        p.drawText(b, Qt::AlignCenter, button);
        return img;
    }

    zova::Step* addStep(const QImage& image, double clickX = 0.5, double clickY = 0.5)
    {
        QString name;
        if (!image.isNull()) {
            auto saved = zova::test::storage().saveScreenshot(image);
            EXPECT_TRUE(saved.hasValue());
            name = saved ? *saved : QString();
        }
        auto* step = new zova::Step(qint64(m_guide->steps().size()), name, clickX, clickY);
        step->setGuide(m_guide);
        return step;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<zova::ModelContainer> m_container;
    zova::Guide* m_guide = nullptr;
};
