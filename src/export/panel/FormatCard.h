#pragma once

#include "export/panel/ExportFormat.h"

#include "style/SelectableCard.h"

namespace zova {

// One selectable export format: icon disc, title and subtitle, and a check mark.
class FormatCard : public SelectableCard {
    Q_OBJECT
public:
    explicit FormatCard(ExportFormat format, QWidget* parent = nullptr);

    ExportFormat format() const { return m_format; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ExportFormat m_format;
};

} // namespace zova
