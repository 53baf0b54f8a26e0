#pragma once

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/StorageService.h"
#include "model/Step.h"

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

    zova::Step* addStep(const QImage& image, double clickX = 0.5, double clickY = 0.5)
    {
        QString name;
        if (!image.isNull()) {
            auto saved = zova::StorageService::shared().saveScreenshot(image);
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
