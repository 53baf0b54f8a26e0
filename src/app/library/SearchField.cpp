#include "app/library/SearchField.h"

#include "style/GlassCard.h"
#include "style/Symbols.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPalette>

namespace zova {

namespace {

bool isFocusKey(const QKeyEvent* e)
{
    return e->modifiers() == Qt::ControlModifier && (e->key() == Qt::Key_K || e->key() == Qt::Key_F);
}

class SymbolLabel : public QWidget {
public:
    explicit SymbolLabel(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(14, 14);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        Symbols::paint(p, QRectF(rect()), QStringLiteral("magnifyingglass"), 14, ZOVAColor::secondaryLabel());
    }
};

} // namespace

bool SearchLineEdit::event(QEvent* e)
{
    // Claim the key so the library's Ctrl+K shortcut cannot be ambiguous here,
    // then handle it in keyPressEvent without touching the text.
    if (e->type() == QEvent::ShortcutOverride && isFocusKey(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    return QLineEdit::event(e);
}

void SearchLineEdit::keyPressEvent(QKeyEvent* e)
{
    if (isFocusKey(e)) {
        setFocus(Qt::ShortcutFocusReason);
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

SearchField::SearchField(QWidget* parent)
    : QWidget(parent)
{
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    auto* card = new GlassCard(GlassCard::Tone::strong(), 10, this);
    card->setMaximumWidth(480);
    card->setFixedHeight(32);
    card->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    outer->addWidget(card);
    auto* row = new QHBoxLayout(card);
    row->setContentsMargins(12, 0, 12, 0);
    row->setSpacing(8);
    row->addWidget(new SymbolLabel(card));
    m_edit = new SearchLineEdit(card);
    m_edit->setObjectName(QStringLiteral("librarySearch"));
    m_edit->setFrame(false);
    m_edit->setFont(Typography::font(12.5));
    // Only the field's fill is its own: the placeholder and text colours follow
    // the application's palette when the appearance changes (a style sheet would
    // fix them at the colours of the moment).
    QPalette clear;
    clear.setColor(QPalette::Base, Qt::transparent);
    m_edit->setPalette(clear);
    row->addWidget(m_edit, 1);
    auto* hint = new TextLine(QStringLiteral("Ctrl+K"), Typography::font(10), ZOVAColor::secondaryLabel, card);
    row->addWidget(hint);
}

} // namespace zova
