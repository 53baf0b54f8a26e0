#include "style/ConfirmDialog.h"

#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>

namespace zova {

namespace {

constexpr int margin = 24;

// What the window manager shows: Qt adds the application's name to a title.
QString titleBarText(const QString& title)
{
    const QString application = QGuiApplication::applicationDisplayName();
    return application.isEmpty() || title.endsWith(application) ? title
                                                                : title + QStringLiteral(" \u2014 ") + application;
}

} // namespace

ConfirmDialog::ConfirmDialog(
    const QString& title, const QString& message, const QString& confirmText, Default defaultButton, QWidget* parent)
    : QDialog(parent)
    , m_default(defaultButton)
{
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(margin, margin - 4, margin, margin - 4);
    column->setSpacing(0);
    m_heading = new TextLine(title, Typography::bold(15), ZOVAColor::label, this);
    m_heading->setObjectName(QStringLiteral("confirmHeading"));
    m_heading->setWrapping(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(m_heading);
    column->addSpacing(8);
    m_message = new TextLine(message, Typography::font(12.5), ZOVAColor::secondaryLabel, this);
    m_message->setObjectName(QStringLiteral("confirmMessage"));
    m_message->setWrapping(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(m_message);
    column->addSpacing(20);
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    m_cancel = pill(new PillButton(QStringLiteral("Cancel"), this), PillStyle::Variant::ghost(), PillStyle::Size::Md);
    m_confirm = pill(new PillButton(confirmText, this), PillStyle::Variant::record(), PillStyle::Size::Md);
    for (PillButton* button : { m_cancel, m_confirm }) {
        button->setFocusPolicy(Qt::StrongFocus);
        buttons->addWidget(button);
    }
    column->addLayout(buttons);
    connect(m_confirm, &QAbstractButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QAbstractButton::clicked, this, &QDialog::reject);

    const int width = widthFor(titleBarText(title), font());
    setFixedSize(width, column->totalHeightForWidth(width));
}

QString ConfirmDialog::title() const { return m_heading->text(); }

QString ConfirmDialog::message() const { return m_message->text(); }

PillButton* ConfirmDialog::defaultButton() const { return m_default == Default::Confirm ? m_confirm : m_cancel; }

int ConfirmDialog::widthFor(const QString& windowTitle, const QFont& font)
{
    QFont bold = font;
    bold.setBold(true);
    const int needed = QFontMetrics(bold).horizontalAdvance(windowTitle) + titleBarReserve;
    return std::clamp(needed, minimumWidth, maximumWidth);
}

void ConfirmDialog::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        defaultButton()->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ConfirmDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    defaultButton()->setFocus(Qt::OtherFocusReason);
}

void ConfirmDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Shapes::windowBackground());
}

} // namespace zova
