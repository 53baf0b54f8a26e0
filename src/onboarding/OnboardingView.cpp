#include "onboarding/OnboardingView.h"

#include "engine/PermissionsService.h"
#include "onboarding/PaintedButton.h"
#include "onboarding/PermissionRow.h"
#include "onboarding/ProductName.h"
#include "style/After.h"
#include "style/GlassCard.h"
#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"
#include "style/ZOVAMark.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>
#include <QtMath>

namespace zova {

namespace {

constexpr qreal markSide = 64;

TextLine* text(const QString& s, const QFont& font, TextLine::ColorSource color, QWidget* parent)
{
    auto* line = new TextLine(s, font, std::move(color), parent);
    line->setWrapping(Qt::AlignHCenter | Qt::AlignTop);
    return line;
}

PillButton* pillButton(const QString& title, PillStyle::Variant variant, QWidget* parent)
{
    return pill(new PillButton(title, parent), variant, PillStyle::Size::Lg);
}

} // namespace

OnboardingView::Footer OnboardingView::footerFor(bool screenRecording, bool inputMonitoring)
{
    const bool both = screenRecording && inputMonitoring;
    const bool any = screenRecording || inputMonitoring;
    return { both ? FooterTop::Continue : FooterTop::GrantAndSkip, any ? FooterBottom::Relaunch : FooterBottom::Note };
}

OnboardingView::OnboardingView(PermissionsService* permissions, int pollMs, Delay delay, QWidget* parent)
    : MeshWallpaper(Variant::Aurora, parent)
    , m_permissions(permissions)
    , m_pollMs(pollMs)
    , m_delay(std::move(delay))
{
    setObjectName(QStringLiteral("onboarding"));
    setMinimumSize(880, 640);
    m_card = new GlassCard(GlassCard::Tone::strong(), 28, this);
    m_card->setFixedSize(cardSize);

    // The mark's glow spreads into the margin above it and the gap below it.
    const int glow = int(ZOVAMark::shadowMargin(markSide, true));
    auto* column = new QVBoxLayout(m_card);
    column->setContentsMargins(40, std::max(0, 32 - glow), 40, 32);
    column->setSpacing(0);

    // Header: the mark, the title and the product's name, the paragraph.
    auto* header = new QVBoxLayout;
    header->setSpacing(0);
    header->addWidget(new ZOVAMark(markSide, true, true, m_card), 0, Qt::AlignHCenter);
    header->addSpacing(std::max(0, 14 - glow));
    auto* titles = new QVBoxLayout;
    titles->setSpacing(6);
    titles->addWidget(text(QStringLiteral("Welcome to Z.O.V.A"),
        Typography::font(28, QFont::Bold, Typography::Design::Serif), &ZOVAColor::label, m_card));
    titles->addWidget(text(productFullName(), Typography::semibold(13), &ZOVAColor::accent, m_card));
    header->addLayout(titles);
    header->addSpacing(14);
    auto* paragraph = text(QStringLiteral("Z.O.V.A needs to see your windows (Screen Recording) and hear your clicks "
                                          "(Input Monitoring). An X11 desktop session provides both."),
        Typography::font(13), &ZOVAColor::secondaryLabel, m_card);
    auto* paragraphRow = new QHBoxLayout;
    paragraphRow->setContentsMargins(20, 0, 20, 0);
    paragraphRow->addWidget(paragraph);
    header->addLayout(paragraphRow);
    column->addLayout(header);
    column->addStretch(1);
    column->addSpacing(16);

    // The two permissions, both needed to record.
    auto* rows = new QVBoxLayout;
    rows->setSpacing(12);
    const auto request = [this](void (PermissionsService::*call)()) {
        return [this, call] {
            if (m_permissions)
                (m_permissions->*call)();
        };
    };
    m_screenRow = new PermissionRow(QStringLiteral("Screen Recording"),
        QStringLiteral("Required to see application windows, capture screen contents, and build step-by-step images."),
        QStringLiteral("rectangle.dashed.badge.record"), false, request(&PermissionsService::requestScreenRecording),
        m_card);
    m_inputRow = new PermissionRow(QStringLiteral("Input Monitoring"),
        QStringLiteral("Needed to turn each of your clicks into a step."),
        QStringLiteral("cursorarrow.click.badge.keyboard"), false, request(&PermissionsService::requestInputMonitoring),
        m_card);
    m_screenRow->setObjectName(QStringLiteral("screenRecordingRow"));
    m_inputRow->setObjectName(QStringLiteral("inputMonitoringRow"));
    rows->addWidget(m_screenRow);
    rows->addWidget(m_inputRow);
    column->addLayout(rows);
    column->addStretch(1);
    column->addSpacing(20);

    // Footer: how to leave, then the relaunch or its note.
    auto* footer = new QVBoxLayout;
    footer->setSpacing(12);
    m_continue = pillButton(QStringLiteral("Continue to Library"), PillStyle::Variant::primary(), m_card);
    m_continue->setTrailingSymbol(QStringLiteral("arrow.right"), 11);
    m_skip = pillButton(QStringLiteral("Skip Setup for Now"), PillStyle::Variant::ghost(), m_card);
    m_grant = pillButton(QStringLiteral("Check Again"), PillStyle::Variant::primary(), m_card);
    m_grant->setTrailingSymbol(QStringLiteral("lock.open.fill"), 13);
    m_continue->setObjectName(QStringLiteral("continueButton"));
    m_skip->setObjectName(QStringLiteral("skipSetupButton"));
    m_grant->setObjectName(QStringLiteral("checkAgainButton"));
    m_grantAndSkip = new QWidget(m_card);
    auto* grantRow = new QHBoxLayout(m_grantAndSkip);
    grantRow->setContentsMargins(0, 0, 0, 0);
    grantRow->setSpacing(16);
    grantRow->addWidget(m_skip);
    grantRow->addWidget(m_grant);
    m_skip->setParent(m_grantAndSkip);
    m_grant->setParent(m_grantAndSkip);
    footer->addWidget(m_continue, 0, Qt::AlignHCenter);
    footer->addWidget(m_grantAndSkip, 0, Qt::AlignHCenter);

    const QString relaunchTitle = QStringLiteral("Relaunch Z.O.V.A to Apply Settings");
    auto* relaunch = new PaintedButton(relaunchTitle, [](QPainter& p, const QRectF& r, const PaintedButton& b) {
        const QFont font = Typography::semibold(11);
        const QColor accent = ZOVAColor::accent();
        const qreal symbol = 12;
        const qreal textWidth = QFontMetricsF(font).horizontalAdvance(b.text());
        const qreal x = r.left() + (r.width() - (symbol + 4 + textWidth)) / 2;
        Symbols::paint(p, QRectF(x, r.top(), symbol, r.height()), QStringLiteral("arrow.clockwise"), 11, accent);
        p.setFont(font);
        p.setPen(accent);
        p.drawText(
            QRectF(x + symbol + 4, r.top(), textWidth + 1, r.height()), Qt::AlignLeft | Qt::AlignVCenter, b.text());
    });
    relaunch->setParent(m_card);
    const QFontMetricsF relaunchMetrics(Typography::semibold(11));
    relaunch->setPreferredSize(QSize(
        qCeil(12 + 4 + relaunchMetrics.horizontalAdvance(relaunchTitle)) + 2, qCeil(relaunchMetrics.height()) + 2));
    relaunch->setObjectName(QStringLiteral("relaunchButton"));
    m_relaunch = relaunch;
    m_note = text(QStringLiteral("Note: relaunch the app after switching to an X11 session."), Typography::font(11),
        &ZOVAColor::tertiaryLabel, m_card);
    m_note->setObjectName(QStringLiteral("relaunchNote"));
    auto* bottom = new QVBoxLayout;
    bottom->setContentsMargins(0, 4, 0, 0);
    bottom->addWidget(m_relaunch, 0, Qt::AlignHCenter);
    bottom->addWidget(m_note);
    footer->addLayout(bottom);
    column->addLayout(footer);

    connect(m_continue, &QAbstractButton::clicked, this, &OnboardingView::leave);
    connect(m_skip, &QAbstractButton::clicked, this, &OnboardingView::leave);
    connect(m_grant, &QAbstractButton::clicked, this, [this] {
        if (m_permissions)
            m_permissions->requestAllPermissions();
    });
    connect(m_relaunch, &QAbstractButton::clicked, this, [this] {
        if (m_permissions)
            m_permissions->restartApp();
    });
    if (m_permissions) {
        connect(m_permissions, &PermissionsService::screenRecordingChanged, this, &OnboardingView::refresh);
        connect(m_permissions, &PermissionsService::inputMonitoringChanged, this, &OnboardingView::refresh);
    }
    refresh();
}

OnboardingView::Footer OnboardingView::footer() const
{
    return { m_continue->isVisibleTo(m_card) ? FooterTop::Continue : FooterTop::GrantAndSkip,
        m_relaunch->isVisibleTo(m_card) ? FooterBottom::Relaunch : FooterBottom::Note };
}

void OnboardingView::refresh()
{
    const bool screen = m_permissions && m_permissions->screenRecording();
    const bool input = m_permissions && m_permissions->inputMonitoring();
    m_screenRow->setGranted(screen);
    m_inputRow->setGranted(input);
    const Footer f = footerFor(screen, input);
    m_continue->setVisible(f.top == FooterTop::Continue);
    m_grantAndSkip->setVisible(f.top == FooterTop::GrantAndSkip);
    m_relaunch->setVisible(f.bottom == FooterBottom::Relaunch);
    m_note->setVisible(f.bottom == FooterBottom::Note);
}

void OnboardingView::poll()
{
    // The service assigns a flag only when the session's answer differs.
    if (m_permissions)
        m_permissions->refreshSync();
}

void OnboardingView::leave()
{
    if (m_permissions)
        m_permissions->setHasCompletedOnboarding(true);
}

void OnboardingView::pollThenWait(quint64 showing)
{
    if (showing != m_showing)
        return;
    poll();
    after(m_delay, m_pollMs, this, [this, showing] { pollThenWait(showing); });
}

void OnboardingView::showEvent(QShowEvent* event)
{
    MeshWallpaper::showEvent(event);
    pollThenWait(++m_showing);
}

void OnboardingView::hideEvent(QHideEvent* event)
{
    ++m_showing;
    MeshWallpaper::hideEvent(event);
}

void OnboardingView::resizeEvent(QResizeEvent*)
{
    m_card->move((width() - m_card->width()) / 2, (height() - m_card->height()) / 2);
}

void OnboardingView::paintEvent(QPaintEvent* event)
{
    MeshWallpaper::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // The card is translucent: its shadow falls only outside it.
    const QPainterPath card = Shapes::roundedRect(QRectF(m_card->geometry()), 28);
    QPainterPath outside;
    outside.addRect(QRectF(rect()));
    p.setClipPath(outside.subtracted(card));
    Shapes::paintShadow(p, card, Shapes::withAlpha(Qt::black, 0.18), 40, QPointF(0, 16));
}

} // namespace zova
