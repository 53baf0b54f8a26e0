#include "recording_ui/PickerTab.h"

namespace zova {

QString pickerTabLabel(PickerTab tab)
{
    switch (tab) {
    case PickerTab::windows: return QStringLiteral("Windows");
    case PickerTab::screens: return QStringLiteral("Entire Screen");
    }
    return {};
}

std::optional<PickerTab> pickerTabFromLabel(const QString& label)
{
    for (PickerTab tab : allPickerTabs())
        if (pickerTabLabel(tab) == label)
            return tab;
    return std::nullopt;
}

QList<PickerTab> allPickerTabs() { return { PickerTab::windows, PickerTab::screens }; }

} // namespace zova
