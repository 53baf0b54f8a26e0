#pragma once

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// A fresh store and fresh user defaults for every test.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings().clear();
        auto opened = zova::ModelContainer::open(m_dir.path() + QStringLiteral("/ZOVA.store"));
        ASSERT_TRUE(opened.hasValue());
        m_store = std::move(opened).value();
    }
    void TearDown() override { QSettings().clear(); }

    zova::ModelContext* context() const { return m_store->mainContext(); }

    // A guide created `ageSeconds` ago with the given screenshot names (empty: no file).
    zova::Guide* addGuide(const QString& title, qint64 ageSeconds = 0, const QStringList& screenshots = {})
    {
        auto* g = new zova::Guide(title);
        const QDateTime created = m_base.addSecs(-ageSeconds);
        g->setCreatedAt(created);
        g->setUpdatedAt(created);
        context()->insert(g);
        for (int i = 0; i < screenshots.size(); ++i) {
            auto* s = new zova::Step(i, screenshots[i]);
            s->setGuide(g);
            context()->insert(s);
        }
        EXPECT_TRUE(context()->save().hasValue());
        return g;
    }

    // Writes a real PNG into the screenshots folder and returns its name.
    QString writeScreenshot(QColor color = Qt::red)
    {
        QImage image(40, 25, QImage::Format_RGB32);
        image.fill(color);
        auto saved = zova::StorageService::shared().saveScreenshot(image);
        EXPECT_TRUE(saved.hasValue());
        return saved ? saved.value() : QString();
    }

    static bool screenshotExists(const QString& name)
    {
        const auto path = zova::StorageService::shared().pathFor(name);
        return path && QFileInfo::exists(*path);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<zova::ModelContainer> m_store;
    QDateTime m_base = QDateTime::currentDateTime();
};
