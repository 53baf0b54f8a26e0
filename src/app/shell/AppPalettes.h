#pragma once

#include <QPalette>

namespace zova::AppPalettes {

QPalette light();
QPalette dark();

} // namespace zova::AppPalettes
