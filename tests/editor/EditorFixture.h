#pragma once

#include "editor/EditorController.h"
#include "editor/files/ScreenshotFiles.h"
#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "model/StorageService.h"
#include "support/TestStorage.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QWidget>

#include <memory>

// A guide in a store of its own; its steps' screenshots in the test's screenshot folder.
class EditorFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto opened = zova::ModelContainer::open(storePath());
        ASSERT_TRUE(opened.hasValue());
        m_container = std::move(opened).value();
    }

    // Shows an editor at the main window's default size and waits until it is active.
    static bool showActive(QWidget* view)
    {
        view->resize(1280, 820);
        view->show();
        view->activateWindow();
        return QTest::qWaitForWindowActive(view);
    }

    // The hooks with every empty member of their file hook reaching the test's screenshot folder.
    static zova::EditorController::Hooks withTestFiles(zova::EditorController::Hooks hooks)
    {
        hooks.files = hooks.files.orElse(zova::ScreenshotFiles::of(zova::test::storage()));
        return hooks;
    }

    // Hands every chosen image file that was read back to the controller that asked.
    static void finishFileReads()
    {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    }

    QString storePath() const { return m_dir.path() + QStringLiteral("/ZOVA.store"); }
    zova::ModelContext* context() const { return m_container->mainContext(); }

    // A saved guide whose steps have these orders, in this relation order, each
    // with a screenshot file unless `withFiles` is false.
    zova::Guide* makeGuide(const QList<qint64>& orders, bool withFiles = true)
    {
        auto* guide = new zova::Guide(QStringLiteral("Original"));
        context()->insert(guide);
        for (qint64 order : orders) {
            auto* step = new zova::Step(order, withFiles ? saveShot(int(order)) : QString());
            step->setOcrLabel(QStringLiteral("Step with order %1").arg(order));
            step->setGuide(guide);
        }
        EXPECT_TRUE(context()->save().hasValue());
        return guide;
    }

    static QString saveShot(int seed, QSize size = QSize(320, 200))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((seed * 47) % 360, 160, 220));
        auto saved = zova::test::storage().saveScreenshot(image);
        EXPECT_TRUE(saved.hasValue());
        return saved ? saved.value() : QString();
    }

    static bool fileExists(const QString& name)
    {
        return !name.isEmpty() && QFile::exists(QDir(zova::test::storage().screenshotsDirectory()).filePath(name));
    }

    // The orders stored in the file, by step id.
    QHash<QUuid, qint64> storedOrders() const
    {
        QHash<QUuid, qint64> out;
        auto reopened = zova::ModelContainer::open(storePath());
        if (!reopened)
            return out;
        for (const zova::Guide* g : reopened.value()->mainContext()->guides())
            for (const zova::Step* s : g->steps())
                out.insert(s->id(), s->order());
        return out;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<zova::ModelContainer> m_container;
};
