#include "export/panel/StatusLine.h"

#include "style/Symbols.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QHBoxLayout>
#include <QPainter>

namespace zova {

class StatusLine::Mark : public QWidget {
public:
    explicit Mark(StatusLine* line)
        : QWidget(line)
        , m_line(line)
    {
        setFixedSize(14, 14);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::TextAntialiasing);
        Symbols::paint(painter, QRectF(rect()), m_line->symbol(), 13, m_line->symbolColor());
    }

private:
    StatusLine* m_line;
};

StatusLine::StatusLine(QWidget* parent)
    : QWidget(parent)
    , m_mark(new Mark(this))
    , m_text(new TextLine({}, Typography::font(11.5), ZOVAColor::inkText, this))
{
    setObjectName(QStringLiteral("exportStatusLine"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(m_mark, 0, Qt::AlignTop);
    m_text->setObjectName(QStringLiteral("exportStatusText"));
    m_text->setWrapping(Qt::AlignLeft | Qt::AlignTop);
    row->addWidget(m_text, 1);
}

void StatusLine::setStatus(const QString& message, bool failed)
{
    m_failed = failed;
    m_text->setText(message);
    m_mark->update();
}

QString StatusLine::message() const { return m_text->text(); }

QString StatusLine::symbol() const
{
    return m_failed ? QStringLiteral("xmark.octagon.fill") : QStringLiteral("checkmark.circle.fill");
}

QColor StatusLine::symbolColor() const { return m_failed ? ZOVAColor::magenta() : ZOVAColor::emerald(); }

} // namespace zova
