#pragma once

#include <QList>
#include <QString>

#include <optional>

namespace zova {

// The two tabs of the window picker; the label is also the tab's raw value.
enum class PickerTab { Windows, Screens };

QString pickerTabLabel(PickerTab tab);
// Exactly "Windows" or "Entire Screen"; nothing for any other text.
std::optional<PickerTab> pickerTabFromLabel(const QString& label);
// In button order.
QList<PickerTab> allPickerTabs();

} // namespace zova
