#pragma once

#include <QMenu>

#include <functional>

namespace zova {

// "Open", "Rename…", a divider and "Delete guide…": the menu of a card and a row.
struct GuideActions {
    std::function<void()> onOpen;
    std::function<void()> onRename;
    std::function<void()> onDelete;
};
QMenu* buildGuideMenu(const GuideActions& actions, QWidget* parent);

} // namespace zova
