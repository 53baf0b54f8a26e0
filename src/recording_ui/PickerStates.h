#pragma once

#include <functional>

class QWidget;

namespace zova {

class PillButton;

// The full-area contents of the picker that stand in for a grid.
namespace PickerStates {

QWidget* loading();
QWidget* noWindows();
QWidget* noScreens();
// `grant` is what the Check Again button does.
QWidget* permissionDenied(std::function<void()> grant);

inline constexpr const char* loadingText = "Loading available windows\u2026";

} // namespace PickerStates
} // namespace zova
