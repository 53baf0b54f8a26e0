#include "app/library/LibraryEmptyState.h"

#include "style/PillButton.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"
#include "style/ZOVAMark.h"

#include <QVBoxLayout>

namespace zova {

namespace {
TextLine* label(const QString& text, const QFont& font, TextLine::ColorSource color, QWidget* parent)
{
    auto* l = new TextLine(text, font, std::move(color), parent);
    l->setAlignment(Qt::AlignCenter);
    return l;
}
} // namespace

LibraryEmptyState::LibraryEmptyState(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("libraryEmptyState"));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 60, 0, 0);
    v->setSpacing(14);
    v->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    auto* mark = new ZOVAMark(56, true, true, this);
    v->addWidget(mark, 0, Qt::AlignHCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(label(QStringLiteral("No guides yet"), Typography::bold(18), ZOVAColor::label, this));
    texts->addWidget(label(QStringLiteral("Click New Guide to record your first walkthrough."), Typography::font(13),
        ZOVAColor::secondaryLabel, this));
    v->addLayout(texts);
    m_button = new PillButton(QStringLiteral("New Guide"), this);
    m_button->setSymbol(QStringLiteral("record.circle.fill"));
    pill(m_button, PillStyle::Variant::primary(), PillStyle::Size::Lg);
    v->addSpacing(6 - 14 + 14);
    v->addWidget(m_button, 0, Qt::AlignHCenter);
    connect(m_button, &QAbstractButton::clicked, this, &LibraryEmptyState::newGuideRequested);
    v->addSpacing(2);
    v->addWidget(label(QStringLiteral("First time? Recording works in an X11 (Xorg) desktop session."),
        Typography::font(11), ZOVAColor::tertiaryLabel, this));
    setMinimumHeight(360 + 60);
}

} // namespace zova
