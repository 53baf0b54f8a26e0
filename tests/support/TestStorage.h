#pragma once

#include "model/ModelContainer.h"
#include "model/StorageService.h"

namespace zova::test {

// The screenshot folder of the default store in the test's home
// (testHome()/data/ZOVA/screenshots), one for the whole test binary.
inline StorageService& storage()
{
    static StorageService folder(StorageService::folderBeside(ModelContainer::defaultStorePath()));
    return folder;
}

} // namespace zova::test
