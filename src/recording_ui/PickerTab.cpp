#include "recording_ui/PickerTab.h"

namespace zova {

QString pickerTabLabel(PickerTab tab)
{
    switch (tab) {
    case PickerTab::Windows: return QStringLiteral("Windows");
    case PickerTab::Screens: return QStringLiteral("Entire Screen");
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

QList<PickerTab> allPickerTabs() { return { PickerTab::Windows, PickerTab::Screens }; }

} // namespace zova
