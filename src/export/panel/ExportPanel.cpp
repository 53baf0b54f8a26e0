#include "export/panel/ExportPanel.h"

#include "export/NarratorService.h"
#include "export/panel/ExportButton.h"
#include "export/panel/ExportRun.h"
#include "export/panel/FileDialogPicker.h"
#include "export/panel/FormatCard.h"
#include "export/panel/OptionSwitch.h"
#include "export/panel/ServiceExporters.h"
#include "export/panel/StatusLine.h"
#include "model/Guide.h"
#include "style/CloseButton.h"
#include "style/Divider.h"
#include "style/GlassCard.h"
#include "style/PillButton.h"
#include "style/Shapes.h"
#include "style/Symbols.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace zova {

namespace {

constexpr int cardWidth = 640;
constexpr qreal cardRadius = 24;
constexpr Overlay::Backdrop panelBackdrop { 0.18, 0.15 };

// The accent disc with the export symbol at the top of the card.
class HeaderIcon : public QWidget {
public:
    explicit HeaderIcon(QWidget* parent)
        : QWidget(parent)
    {
        setFixedSize(56 + 24, 56 + 10);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF disc((width() - 56) / 2.0, 2, 56, 56);
        QPainterPath path;
        path.addEllipse(disc);
        Shapes::paintShadow(painter, path, Shapes::withAlpha(Qt::black, 0.15), 10, QPointF(0, 3));
        painter.fillPath(path, ZOVAColor::accent());
        Symbols::paint(painter, disc, QStringLiteral("square.and.arrow.up.fill"), 24, Qt::white);
    }
};

} // namespace

ExportPanel::ExportPanel(Guide* guide, std::function<void()> onDismiss, const Settings& settings,
    const StorageService& storage, QWidget* host)
    : ExportPanel(guide, std::move(onDismiss), settings, storage, Dependencies {}, host)
{
}

ExportPanel::ExportPanel(Guide* guide, std::function<void()> onDismiss, const Settings& settings,
    const StorageService& storage, Dependencies dependencies, QWidget* host)
    : Overlay(panelBackdrop, host)
    , m_onDismiss(std::move(onDismiss))
{
    setObjectName(QStringLiteral("exportPanel"));
    if (!dependencies.picker)
        dependencies.picker = std::make_shared<FileDialogPicker>(this);
    if (!dependencies.exporters)
        dependencies.exporters = std::make_unique<ServiceExporters>(settings, storage);
    m_narrator = dependencies.narrator ? dependencies.narrator.release() : new NarratorService(settings);
    m_narrator->setParent(this);
    m_run = std::make_unique<ExportRun>(guide, std::move(dependencies.picker), std::move(dependencies.exporters));

    m_card = new GlassCard(GlassCard::Tone::strong(), cardRadius, this);
    m_card->setObjectName(QStringLiteral("exportCard"));
    m_card->setFixedWidth(cardWidth);
    auto* column = new QVBoxLayout(m_card);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildHeader());
    column->addWidget(new Divider(m_card));
    column->addWidget(buildFormatPicker());
    column->addWidget(new Divider(m_card));
    column->addWidget(buildOptions());
    column->addWidget(new Divider(m_card));
    column->addWidget(buildFooter());

    setSheet(m_card, cardRadius);
    connect(this, &Overlay::dismissRequested, this, [this] {
        if (m_onDismiss)
            m_onDismiss();
    });

    connect(m_run.get(), &ExportRun::selectedFormatChanged, this, &ExportPanel::refreshFormat);
    connect(m_run.get(), &ExportRun::isExportingChanged, this, &ExportPanel::refreshExporting);
    connect(m_run.get(), &ExportRun::statusChanged, this, &ExportPanel::refreshStatus);
    connect(m_run.get(), &ExportRun::includeFooterChanged, this,
        [this] { m_footerSwitch->setChecked(m_run->includeFooter()); });
    connect(m_run.get(), &ExportRun::revealWhenDoneChanged, this,
        [this] { m_revealSwitch->setChecked(m_run->revealWhenDone()); });
    connect(m_run.get(), &ExportRun::narrateVideoChanged, this,
        [this] { m_narrationSwitch->setChecked(m_run->narrateVideo()); });
    if (guide) {
        connect(guide, &Guide::titleChanged, this, &ExportPanel::refreshTexts);
        connect(guide, &Guide::stepsChanged, this, &ExportPanel::refreshTexts);
    }

    refreshTexts();
    refreshFormat();
    refreshExporting();
    refreshStatus();
}

ExportPanel::~ExportPanel()
{
    // The run (and any export it runs) goes while every widget it updates still stands.
    m_run.reset();
}

QString ExportPanel::narratorLine(const NarratorService& narrator)
{
    if (const auto voice = narrator.effectiveVoice())
        return tr("Narrated by ") + NarratorService::displayName(*voice)
            + tr(" \u00B7 change in Settings \u2192 Voice");
    return tr("No voice available on this computer");
}

QWidget* ExportPanel::buildHeader()
{
    auto* header = new QWidget(m_card);
    auto* column = new QVBoxLayout(header);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* closeRow = new QHBoxLayout;
    closeRow->setContentsMargins(16, 16, 16, 0);
    m_close = new CloseButton(header);
    m_close->setObjectName(QStringLiteral("exportCloseButton"));
    connect(m_close, &QAbstractButton::clicked, this, &Overlay::requestDismiss);
    closeRow->addWidget(m_close);
    closeRow->addStretch();
    column->addLayout(closeRow);

    // The column's spacing of 8 less the icon's upward pull of 8 leaves it flush with the
    // close row; the icon's own bottom margin is the 8 before the title.
    column->addWidget(new HeaderIcon(header), 0, Qt::AlignHCenter);

    m_title = new TextLine({}, Typography::font(22, QFont::Bold, Typography::Design::Serif), ZOVAColor::label, header);
    m_title->setObjectName(QStringLiteral("exportTitle"));
    m_title->setWrapping(Qt::AlignHCenter);
    m_title->setMaximumHeight(2 * QFontMetrics(m_title->textFont()).lineSpacing());
    m_title->setContentsMargins(28, 0, 28, 0);
    column->addWidget(m_title);
    column->addSpacing(8);

    m_subtitle = new TextLine({}, Typography::font(12.5), ZOVAColor::secondaryLabel, header);
    m_subtitle->setObjectName(QStringLiteral("exportSubtitle"));
    m_subtitle->setAlignment(Qt::AlignCenter);
    column->addWidget(m_subtitle);
    column->addSpacing(18);
    return header;
}

QWidget* ExportPanel::buildFormatPicker()
{
    auto* picker = new QWidget(m_card);
    auto* column = new QVBoxLayout(picker);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(10);
    for (const ExportFormat format : ExportFormats::all()) {
        auto* card = new FormatCard(format, picker);
        connect(card, &QAbstractButton::clicked, this, [this, format] { m_run->setSelectedFormat(format); });
        m_cards.insert(format, card);
        column->addWidget(card);
    }
    return picker;
}

QWidget* ExportPanel::buildOptions()
{
    auto* options = new QWidget(m_card);
    auto* column = new QVBoxLayout(options);
    column->setContentsMargins(24, 16, 24, 16);
    column->setSpacing(10);
    m_footerSwitch = new OptionSwitch(tr("Include \u201CMade with Z.O.V.A\u201D footer"), options);
    m_footerSwitch->setObjectName(QStringLiteral("includeFooterSwitch"));
    m_footerSwitch->setChecked(m_run->includeFooter());
    connect(m_footerSwitch, &QAbstractButton::toggled, m_run.get(), &ExportRun::setIncludeFooter);
    m_revealSwitch = new OptionSwitch(tr("Show in file manager after export"), options);
    m_revealSwitch->setObjectName(QStringLiteral("revealSwitch"));
    m_revealSwitch->setChecked(m_run->revealWhenDone());
    connect(m_revealSwitch, &QAbstractButton::toggled, m_run.get(), &ExportRun::setRevealWhenDone);
    m_narrationSwitch = new OptionSwitch(tr("Read step descriptions aloud"), options);
    m_narrationSwitch->setObjectName(QStringLiteral("narrationSwitch"));
    m_narrationSwitch->setChecked(m_run->narrateVideo());
    connect(m_narrationSwitch, &QAbstractButton::toggled, m_run.get(), &ExportRun::setNarrateVideo);
    for (OptionSwitch* s : { m_footerSwitch, m_revealSwitch, m_narrationSwitch })
        column->addWidget(s, 0, Qt::AlignLeft);
    return options;
}

QWidget* ExportPanel::buildFooter()
{
    auto* footer = new QWidget(m_card);
    auto* row = new QHBoxLayout(footer);
    row->setContentsMargins(24, 16, 24, 16);
    row->setSpacing(8);
    m_status = new StatusLine(footer);
    row->addWidget(m_status, 1);
    row->addStretch();
    m_cancel = pill(new PillButton(tr("Cancel"), footer), PillStyle::Variant::ghost(), PillStyle::Size::Md);
    m_cancel->setObjectName(QStringLiteral("exportCancelButton"));
    connect(m_cancel, &QAbstractButton::clicked, this, &Overlay::requestDismiss);
    row->addWidget(m_cancel);
    m_export = new ExportButton(footer);
    // Queued, so the press has finished before a modal destination dialog opens.
    connect(m_export, &QAbstractButton::clicked, m_run.get(), &ExportRun::runExport, Qt::QueuedConnection);
    row->addWidget(m_export);
    return footer;
}

void ExportPanel::refreshTexts()
{
    m_title->setText(tr("Export \u201C") + m_run->target().title() + tr("\u201D"));
    m_subtitle->setText(m_run->target().subtitle());
}

void ExportPanel::refreshFormat()
{
    for (auto it = m_cards.cbegin(); it != m_cards.cend(); ++it)
        it.value()->setChecked(it.key() == m_run->selectedFormat());
    const bool video = m_run->selectedFormat() == ExportFormat::Video;
    if (video)
        m_narrationSwitch->setDetail(narratorLine(*m_narrator));
    m_narrationSwitch->setVisible(video);
}

void ExportPanel::refreshExporting()
{
    const bool busy = m_run->isExporting();
    setDismissible(!busy);
    m_close->setEnabled(!busy);
    for (FormatCard* card : std::as_const(m_cards))
        card->setEnabled(!busy);
    m_cancel->setEnabled(!busy);
    m_export->setEnabled(!busy);
    m_export->setBusy(busy);
}

void ExportPanel::refreshStatus()
{
    const auto message = m_run->statusMessage();
    if (message)
        m_status->setStatus(*message, m_run->didFail());
    m_status->setVisible(message.has_value());
}

void ExportPanel::showEvent(QShowEvent* event)
{
    Overlay::showEvent(event);
    refreshTexts();
    refreshFormat();
}

} // namespace zova
