#include "recording_ui/PickerTabSelector.h"

#include "style/Shapes.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QPainter>

#include <cmath>

namespace zova {

namespace {
QFont tabFont() { return Typography::font(12.5, QFont::Medium); }
} // namespace

PickerTabButton::PickerTabButton(PickerTab tab, QWidget* parent)
    : SelectableCard(parent)
    , m_tab(tab)
{
    setText(pickerTabLabel(tab));
    setObjectName(QStringLiteral("pickerTab"));
    setAccessibleDescription(text());
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(sizeHint());
}

QSize PickerTabButton::sizeHint() const
{
    const QFontMetricsF metrics(tabFont());
    return { int(std::ceil(metrics.horizontalAdvance(text()) + 28)), int(std::ceil(metrics.height() + 12)) };
}

void PickerTabButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate(rect());
    if (isChecked()) {
        const QPainterPath path = Shapes::roundedRect(plate, 8);
        Shapes::paintShadow(painter, path, Shapes::withAlpha(Qt::black, 0.1), 2, QPointF(0, 0));
        // The plate stands out of the selector on the control colour in light and dark alike.
        painter.fillPath(path, Shapes::controlBackground());
        painter.fillPath(path, Shapes::withAlpha(Qt::white, 0.12));
    }
    painter.setFont(tabFont());
    // The label colour: white in dark mode, and readable on the light plate too.
    painter.setPen(isChecked() ? ZOVAColor::label() : ZOVAColor::secondaryLabel());
    painter.drawText(plate, Qt::AlignCenter, text());
}

PickerTabSelector::PickerTabSelector(QWidget* parent)
    : QWidget(parent)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(3, 3, 3, 3);
    row->setSpacing(4);
    for (PickerTab tab : allPickerTabs()) {
        auto* button = new PickerTabButton(tab, this);
        m_buttons.insert(tab, button);
        row->addWidget(button);
        connect(button, &QAbstractButton::clicked, this, [this, tab] { emit tabPressed(tab); });
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PickerTabSelector::setSelectedTab(PickerTab tab)
{
    for (auto it = m_buttons.begin(); it != m_buttons.end(); ++it)
        it.value()->setChecked(it.key() == tab);
}

void PickerTabSelector::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF plate(rect());
    painter.fillPath(Shapes::roundedRect(plate, 10), Shapes::withAlpha(Shapes::controlBackground(), 0.4));
    Shapes::strokeInside(painter, plate, 10, ZOVAColor::separator(), 0.5);
}

} // namespace zova
