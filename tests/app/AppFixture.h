#pragma once

#include "engine/PermissionsService.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Settings.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "support/TestStorage.h"
#include "support/TestSupport.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// A fresh store, fresh settings (kept in memory) and the permissions of a session
// that grants what `grants` says, for every test.
class AppFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto opened = zova::ModelContainer::open(m_dir.path() + QStringLiteral("/ZOVA.store"));
        ASSERT_TRUE(opened.hasValue());
        m_store = std::move(opened).value();
    }
    zova::ModelContext* context() const { return m_store->mainContext(); }
    // What is stored under a key, as the store holds it.
    QVariant stored(QLatin1StringView key) const { return m_settingsStore->value(key); }
    void store(QLatin1StringView key, const QVariant& value) { m_settingsStore->setValue(key, value); }
    // Forgets every setting.
    void clearSettings() { *m_settingsStore = zova::MemorySettingsStore(); }

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
        auto saved = zova::test::storage().saveScreenshot(image);
        EXPECT_TRUE(saved.hasValue());
        return saved ? saved.value() : QString();
    }

    static bool screenshotExists(const QString& name)
    {
        const auto path = zova::test::storage().pathFor(name);
        return path && QFileInfo::exists(*path);
    }

    QTemporaryDir m_dir;
    std::unique_ptr<zova::ModelContainer> m_store;
    zova::MemorySettingsStore* m_settingsStore = new zova::MemorySettingsStore;
    zova::Settings m_settings { std::unique_ptr<zova::SettingsStore>(m_settingsStore) };
    zova::SessionGrants grants { true, true };
    zova::PermissionsService m_permissions { m_settings, [this](bool) { return grants; } };
    QDateTime m_base = QDateTime::currentDateTime();
};
