#include "recording_ui/PickerStates.h"

#include "recording_ui/Spinner.h"
#include "recording_ui/SymbolView.h"
#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace zova::PickerStates {

namespace {

// A centred column in a frame of unlimited width and at least 320 high.
QVBoxLayout* stateFrame(QWidget* state, int spacing)
{
    state->setMinimumHeight(320);
    auto* outer = new QVBoxLayout(state);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addStretch(1);
    auto* column = new QVBoxLayout;
    column->setSpacing(spacing);
    column->setAlignment(Qt::AlignHCenter);
    outer->addLayout(column);
    outer->addStretch(1);
    return column;
}

TextLine* centredText(const QString& text, QFont font, std::function<QColor()> color, QWidget* parent)
{
    auto* line = new TextLine(text, std::move(font), std::move(color), parent);
    line->setWrapping(Qt::AlignHCenter | Qt::AlignTop);
    return line;
}

QWidget* emptyState(const QString& symbol, const QString& heading, const QString& body)
{
    auto* state = new QWidget;
    state->setObjectName(QStringLiteral("emptyState"));
    QVBoxLayout* column = stateFrame(state, 10);
    column->addWidget(new SymbolView(symbol, 36, ZOVAColor::secondaryLabel, QSize(44, 44), state), 0, Qt::AlignHCenter);
    column->addWidget(centredText(heading, Typography::semibold(13), ZOVAColor::label, state));
    column->addWidget(centredText(body, Typography::font(11.5), ZOVAColor::secondaryLabel, state));
    return state;
}

} // namespace

QWidget* loading()
{
    auto* state = new QWidget;
    state->setObjectName(QStringLiteral("loadingState"));
    QVBoxLayout* column = stateFrame(state, 12);
    column->addWidget(new Spinner(32, state), 0, Qt::AlignHCenter);
    column->addWidget(
        centredText(QString::fromUtf8(loadingText), Typography::font(13), ZOVAColor::secondaryLabel, state));
    return state;
}

QWidget* noWindows()
{
    QWidget* state = emptyState(QStringLiteral("macwindow.badge.plus"), QStringLiteral("No capturable windows found"),
        QStringLiteral("Open the app you want to capture, then click Refresh."));
    state->setObjectName(QStringLiteral("noWindowsState"));
    return state;
}

QWidget* noScreens()
{
    QWidget* state = emptyState(QStringLiteral("desktopcomputer"), QStringLiteral("No displays found"),
        QStringLiteral("Click Refresh to search for available screens."));
    state->setObjectName(QStringLiteral("noScreensState"));
    return state;
}

QWidget* permissionDenied(std::function<void()> grant)
{
    auto* state = new QWidget;
    state->setObjectName(QStringLiteral("permissionDeniedState"));
    auto* padded = new QVBoxLayout(state);
    padded->setContentsMargins(20, 20, 20, 20);
    auto* inner = new QWidget(state);
    inner->setMaximumWidth(520);
    padded->addWidget(inner, 0, Qt::AlignHCenter);
    QVBoxLayout* column = stateFrame(inner, 18);

    auto* icon
        = new SymbolView(QStringLiteral("rectangle.dashed.badge.record"), 36, ZOVAColor::amber, QSize(76, 76), inner);
    icon->setCircle([] { return Shapes::withAlpha(ZOVAColor::amber(), 0.18); });
    column->addWidget(icon, 0, Qt::AlignHCenter);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(centredText(QStringLiteral("Screen Recording is not available"),
        Typography::font(17, QFont::Bold, Typography::Design::Serif), ZOVAColor::label, inner));
    auto* body = centredText(QStringLiteral("Z.O.V.A can only see and capture windows in an X11 (Xorg) session. "
                                            "Log in to one, then click Check Again."),
        Typography::font(12.5), ZOVAColor::secondaryLabel, inner);
    auto* bodyRow = new QHBoxLayout;
    bodyRow->setContentsMargins(36, 0, 36, 0);
    bodyRow->addWidget(body);
    texts->addLayout(bodyRow);
    column->addLayout(texts);

    auto* button = pill(
        new PillButton(QStringLiteral("Check Again"), inner), PillStyle::Variant::primary(), PillStyle::Size::Md);
    button->setObjectName(QStringLiteral("grantButton"));
    button->setSymbol(QStringLiteral("lock.open.fill"));
    QObject::connect(button, &QAbstractButton::clicked, button, [grant = std::move(grant)] {
        if (grant)
            grant();
    });
    column->addWidget(button, 0, Qt::AlignHCenter);
    return state;
}

} // namespace zova::PickerStates
