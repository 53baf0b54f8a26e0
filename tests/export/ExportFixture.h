#pragma once

#include "export/ExportService.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Settings.h"
#include "model/Step.h"
#include "model/StepAnnotation.h"
#include "model/StorageService.h"
#include "support/TestStorage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>

// Guides in a store of their own, with screenshots in the test's screenshot folder.
class ExportFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto opened = zova::ModelContainer::open(m_dir.path() + QStringLiteral("/ZOVA.store"));
        ASSERT_TRUE(opened.hasValue());
        m_container = std::move(opened).value();
    }

    zova::ModelContext* context() const { return m_container->mainContext(); }
    // Settings kept in memory, for the real narrator and exporters.
    zova::Settings m_settings;

    zova::Guide* makeGuide(const QString& title)
    {
        auto* guide = new zova::Guide(title);
        context()->insert(guide);
        return guide;
    }

    zova::Step* addStep(
        zova::Guide* guide, qint64 order, const QString& screenshot = {}, double x = 0.5, double y = 0.5)
    {
        auto* step = new zova::Step(order, screenshot, x, y);
        step->setGuide(guide);
        return step;
    }

    // A saved PNG of noise, so that any blur changes nearly every pixel.
    static QString saveNoise(int width, int height, quint32 seed = 1)
    {
        QImage image(width, height, QImage::Format_RGB32);
        QRandomGenerator rng(seed);
        for (int y = 0; y < height; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < width; ++x)
                line[x] = 0xff000000u | (rng.generate() & 0xffffffu);
        }
        return saved(image);
    }

    static QString saveSolid(int width, int height, const QColor& color)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(color);
        return saved(image);
    }

    static QString saved(const QImage& image)
    {
        auto name = zova::test::storage().saveScreenshot(image);
        EXPECT_TRUE(name.hasValue());
        return name ? name.value() : QString();
    }

    static QString screenshotPath(const QString& name)
    {
        return zova::test::storage().screenshotsDirectory() + QLatin1Char('/') + name;
    }

    static zova::StepAnnotation annotation(zova::StepAnnotation::Kind kind, double x, double y, double w, double h,
        const QString& color = QStringLiteral("ff3d8a"), std::optional<QString> text = std::nullopt)
    {
        zova::StepAnnotation a;
        a.kind = kind;
        a.x = x;
        a.y = y;
        a.width = w;
        a.height = h;
        a.colorHex = color;
        a.text = std::move(text);
        return a;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<zova::ModelContainer> m_container;
    zova::ExportService m_service { zova::test::storage() };
};
