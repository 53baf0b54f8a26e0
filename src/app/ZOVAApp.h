#pragma once

#include "model/ModelContainer.h"

#include <memory>

namespace zova {

// The application object: owns the shared store for the life of the process.
class ZOVAApp {
public:
    // Opens the store at the default location, or at $ZOVA_STORE_PATH when set.
    // Prints "Could not create ModelContainer: " and the error and exits non-zero
    // when it cannot be opened; the file is left untouched.
    static ModelContainer& sharedModelContainer();
    static QString storePath();

private:
    static std::unique_ptr<ModelContainer>& instance();
};

} // namespace zova
