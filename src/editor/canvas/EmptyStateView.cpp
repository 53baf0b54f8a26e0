#include "editor/canvas/EmptyStateView.h"

#include "editor/EditorController.h"
#include "engine/PermissionsService.h"
#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

#include <functional>

namespace zova {

namespace {

// A 76 px disc of a colour at 18 % with a symbol in it.
class Badge : public QWidget {
public:
    Badge(QString symbol, qreal symbolSize, std::function<QColor()> color, QWidget* parent)
        : QWidget(parent)
        , m_symbol(std::move(symbol))
        , m_symbolSize(symbolSize)
        , m_color(std::move(color))
    {
        setFixedSize(76, 76);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Shapes::withAlpha(m_color(), 0.18));
        painter.drawEllipse(QRectF(rect()));
        Symbols::paint(painter, QRectF(rect()), m_symbol, m_symbolSize, m_color());
    }

private:
    QString m_symbol;
    qreal m_symbolSize;
    std::function<QColor()> m_color;
};

PillButton* button(const QString& symbol, const QString& text, PillStyle::Variant variant, QWidget* parent)
{
    auto* b = new PillButton(text, parent);
    b->setSymbol(symbol);
    pill(b, variant, PillStyle::Size::Md);
    return b;
}

// Badge, title and message, centred, in a column of spacing 18.
QWidget* panel(const QString& name, QWidget* badge, const QString& title, const QString& message, int messageWidth,
    QWidget* buttons, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(18);
    badge->setParent(panel);
    column->addWidget(badge, 0, Qt::AlignHCenter);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(8);
    auto* titleLine = new TextLine(title, Typography::bold(18), ZOVAColor::label, panel);
    titleLine->setObjectName(QStringLiteral("emptyStateTitle"));
    titleLine->setAlignment(Qt::AlignCenter);
    texts->addWidget(titleLine, 0, Qt::AlignHCenter);
    auto* messageLine = new TextLine(message, Typography::font(12.5), ZOVAColor::secondaryLabel, panel);
    messageLine->setObjectName(QStringLiteral("emptyStateMessage"));
    messageLine->setWrapping(Qt::AlignHCenter | Qt::AlignTop);
    messageLine->setContentsMargins(30, 0, 30, 0);
    messageLine->setMaximumWidth(messageWidth);
    messageLine->setMinimumWidth(messageWidth);
    texts->addWidget(messageLine, 0, Qt::AlignHCenter);
    column->addLayout(texts);
    buttons->setParent(panel);
    column->addWidget(buttons, 0, Qt::AlignHCenter);
    return panel;
}

} // namespace

EmptyStateView::EmptyStateView(EditorController* controller, PermissionsService* permissions, QWidget* parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_permissions(permissions)
{
    setObjectName(QStringLiteral("editorEmptyState"));
    auto* centre = new QVBoxLayout(this);
    centre->addStretch(1);

    auto* check
        = button(QStringLiteral("lock.open.fill"), QStringLiteral("Check Again"), PillStyle::Variant::primary(), this);
    check->setObjectName(QStringLiteral("checkInputMonitoringButton"));
    connect(check, &QAbstractButton::clicked, this, [this] {
        if (m_permissions)
            m_permissions->requestInputMonitoring();
    });
    m_missingPanel = panel(QStringLiteral("inputMonitoringMissingPanel"),
        new Badge(QStringLiteral("hand.tap.fill"), 36, ZOVAColor::amber, nullptr),
        QStringLiteral("Input Monitoring is not available"),
        QStringLiteral("Z.O.V.A recorded a session but didn't receive any clicks. Click tracking needs an X11 session "
                       "with XInput 2.1 or later."),
        520, check, this);
    centre->addWidget(m_missingPanel, 0, Qt::AlignHCenter);

    auto* buttons = new QWidget;
    auto* row = new QHBoxLayout(buttons);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(10);
    auto* reopen = button(
        QStringLiteral("arrow.clockwise"), QStringLiteral("Quit & Reopen"), PillStyle::Variant::primary(), buttons);
    reopen->setObjectName(QStringLiteral("quitAndReopenButton"));
    connect(reopen, &QAbstractButton::clicked, this, [this] {
        if (m_permissions)
            m_permissions->restartApp();
    });
    row->addWidget(reopen);
    auto* add = button(QStringLiteral("plus"), QStringLiteral("Add step"), PillStyle::Variant::glass(false), buttons);
    add->setObjectName(QStringLiteral("emptyStateAddStepButton"));
    connect(add, &QAbstractButton::clicked, this, [this] {
        if (m_controller)
            m_controller->setAddStepMenu(true);
    });
    row->addWidget(add);
    m_noStepsPanel = panel(QStringLiteral("noStepsPanel"),
        new Badge(QStringLiteral("sparkles"), 32, ZOVAColor::accent, nullptr), QStringLiteral("No steps yet"),
        QStringLiteral("Input Monitoring is available, but this guide hasn't captured any clicks. Record a new session "
                       "or add a step manually."),
        560, buttons, this);
    centre->addWidget(m_noStepsPanel, 0, Qt::AlignHCenter);
    centre->addStretch(1);

    m_poll.setInterval(pollIntervalMs);
    connect(&m_poll, &QTimer::timeout, this, [this] {
        if (m_permissions)
            m_permissions->refreshSync();
    });
    if (permissions)
        connect(permissions, &PermissionsService::inputMonitoringChanged, this, &EmptyStateView::refresh);
    refresh();
}

void EmptyStateView::refresh()
{
    const bool listening = !m_permissions || m_permissions->inputMonitoring();
    m_missingPanel->setVisible(!listening);
    m_noStepsPanel->setVisible(listening);
}

void EmptyStateView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_permissions)
        return;
    m_permissions->refreshSync();
    m_poll.start();
}

void EmptyStateView::hideEvent(QHideEvent* event)
{
    m_poll.stop();
    QWidget::hideEvent(event);
}

} // namespace zova
