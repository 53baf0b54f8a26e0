#include "editor/rewrite/SmartEditMenu.h"

#include "editor/rewrite/RewriteTexts.h"
#include "style/Divider.h"
#include "style/PopoverRow.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QVBoxLayout>

namespace zova {

SmartEditMenu::SmartEditMenu(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("smartEditMenu"));
    setFixedWidth(width);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 4, 0, 4);
    column->setSpacing(4);

    QFont headerFont = Typography::bold(11);
    headerFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
    auto* header = new TextLine(QStringLiteral("Rewrite this step"), headerFont, ZOVAColor::secondaryLabel, this);
    header->setContentsMargins(10, 8, 10, 4);
    column->addWidget(header);

    PopoverRow::Look toneLook;
    toneLook.titleFont = Typography::font(12.5, QFont::Medium);
    for (const rewrite_texts::ToneRow& tone : rewrite_texts::toneRows()) {
        auto* row = new PopoverRow(tone.symbol, tone.label, toneLook, this);
        row->setObjectName(QStringLiteral("toneRow_") + LocalModelService::rawValue(tone.tone));
        connect(row, &QAbstractButton::clicked, this, [this, t = tone.tone] { emit toneChosen(t); });
        column->addWidget(row);
        m_toneRows.append(row);
    }

    auto* divider = new Divider(this);
    column->addSpacing(4);
    column->addWidget(divider);
    column->addSpacing(4);

    PopoverRow::Look batchLook;
    batchLook.titleFont = Typography::semibold(12.5);
    batchLook.verticalPadding = 6;
    m_batchRow
        = new PopoverRow(QStringLiteral("rectangle.stack.fill"), QStringLiteral("Rewrite every step"), batchLook, this);
    m_batchRow->setObjectName(QStringLiteral("rewriteEveryStepRow"));
    connect(m_batchRow, &QAbstractButton::clicked, this, &SmartEditMenu::rewriteAllChosen);
    column->addWidget(m_batchRow);
    setStepCount(0);
}

void SmartEditMenu::setStepCount(qsizetype count)
{
    m_batchRow->setSubtitle(rewrite_texts::batchSubtitle(count));
    m_batchRow->setEnabled(count > 0);
}

} // namespace zova
