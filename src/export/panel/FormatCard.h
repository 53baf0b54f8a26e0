#pragma once

#include "export/panel/ExportFormat.h"

#include <QAbstractButton>

namespace zova {

// One selectable export format: icon disc, title and subtitle, and a check mark.
class FormatCard : public QAbstractButton {
    Q_OBJECT
public:
    explicit FormatCard(ExportFormat format, QWidget* parent = nullptr);

    ExportFormat format() const { return m_format; }
    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ExportFormat m_format;
    bool m_selected = false;
};

} // namespace zova
