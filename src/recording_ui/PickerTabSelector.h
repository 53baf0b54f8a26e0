#pragma once

#include "recording_ui/PickerTab.h"

#include "style/SelectableCard.h"

#include <QHash>
#include <QWidget>

namespace zova {

// One tab's button: its label, and behind it a raised rounded plate when selected.
class PickerTabButton final : public SelectableCard {
    Q_OBJECT
public:
    PickerTabButton(PickerTab tab, QWidget* parent = nullptr);
    PickerTab tab() const { return m_tab; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PickerTab m_tab;
};

// The row of tab buttons on a rounded plate. Pressing a button emits `tabPressed`.
class PickerTabSelector final : public QWidget {
    Q_OBJECT
public:
    explicit PickerTabSelector(QWidget* parent = nullptr);
    void setSelectedTab(PickerTab tab);
    PickerTabButton* button(PickerTab tab) const { return m_buttons.value(tab); }

signals:
    void tabPressed(PickerTab tab);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QHash<PickerTab, PickerTabButton*> m_buttons;
};

} // namespace zova
