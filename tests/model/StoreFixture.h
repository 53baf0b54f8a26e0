#pragma once

#include "model/Guide.h"
#include "model/ModelContainer.h"
#include "model/ModelContext.h"
#include "model/Step.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>

// A store file in a fresh folder, reopened at will.
class StoreFixture : public ::testing::Test {
protected:
    QString path() const { return m_dir.path() + QStringLiteral("/ZOVA.store"); }

    std::unique_ptr<zova::ModelContainer> open()
    {
        auto opened = zova::ModelContainer::open(path());
        EXPECT_TRUE(opened.hasValue()) << (opened ? "" : opened.error().description().toStdString());
        return opened ? std::move(opened).value() : nullptr;
    }

    QTemporaryDir m_dir;
};
