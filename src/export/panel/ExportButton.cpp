#include "export/panel/ExportButton.h"

#include "base/NotifyingProperty.h"

namespace zova {

ExportButton::ExportButton(QWidget* parent)
    : PillButton(QString(), parent)
{
    setObjectName(QStringLiteral("exportButton"));
    pill(this, PillStyle::Variant::primary(), PillStyle::Size::Md);
    m_busy = true; // so that setBusy(false) lays out the idle look
    setBusy(false);
}

void ExportButton::setBusy(bool busy)
{
    if (!assignIfChanged(m_busy, busy))
        return;
    if (busy) {
        setSymbol(QString());
        setText(tr("Exporting\u2026"));
    } else {
        setSymbol(QStringLiteral("arrow.down.circle.fill"));
        setText(tr("Choose location & export"));
    }
    setSpinning(busy);
    setAccessibleName(text());
}

} // namespace zova
