#include "onboarding/VoiceSettingsView.h"

#include "model/Settings.h"
#include "style/After.h"
#include "style/Divider.h"
#include "style/PillButton.h"
#include "style/PillStyle.h"
#include "style/Symbols.h"
#include "style/TextLine.h"
#include "style/Typography.h"
#include "style/ZOVAColor.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace zova {

namespace {

QColor withAlpha(QColor color, qreal alpha)
{
    color.setAlphaF(float(color.alphaF() * alpha));
    return color;
}

TextLine* text(const QString& content, const QFont& font, TextLine::ColorSource color, QWidget* parent)
{
    return new TextLine(content, font, std::move(color), parent);
}

// The current locale's name for a BCP 47 language code; empty when it has none.
QString languageName(const QString& code)
{
    const QByteArray tag = code.toUtf8();
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale language = icu::Locale::forLanguageTag(tag.constData(), status);
    if (U_FAILURE(status))
        return {};
    const icu::Locale current(QLocale().name().toUtf8().constData());
    icu::UnicodeString languageOnly;
    language.getDisplayLanguage(current, languageOnly);
    if (languageOnly.isEmpty() || languageOnly == icu::UnicodeString::fromUTF8(language.getLanguage()))
        return {};
    icu::UnicodeString display;
    language.getDisplayName(current, display);
    std::string utf8;
    display.toUTF8String(utf8);
    return QString::fromStdString(utf8);
}

} // namespace

VoiceRow::VoiceRow(QString id, QString title, QString subtitle, bool isAutoPick, QWidget* parent)
    : SelectableCard(parent)
    , m_id(std::move(id))
    , m_title(std::move(title))
    , m_subtitle(std::move(subtitle))
    , m_isAutoPick(isAutoPick)
{
    setObjectName(QStringLiteral("voiceRow"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(m_title);
    if (!m_isAutoPick) {
        auto* preview = new QToolButton(this);
        preview->setObjectName(QStringLiteral("previewButton"));
        preview->setToolTip(QStringLiteral("Preview this voice"));
        preview->setAutoRaise(true);
        preview->setCursor(Qt::PointingHandCursor);
        preview->setFixedSize(26, 26);
        preview->setIconSize(QSize(13, 13));
        connect(preview, &QToolButton::clicked, this, &VoiceRow::previewClicked);
        m_preview = preview;
        setPreviewing(false);
    }
}

void VoiceRow::setSubtitle(const QString& subtitle)
{
    if (subtitle == m_subtitle)
        return;
    m_subtitle = subtitle;
    update();
}

void VoiceRow::setSelected(bool selected)
{
    if (selected == isChecked())
        return;
    setAutoExclusive(false);
    setChecked(selected);
    setAutoExclusive(true);
    update();
}

void VoiceRow::setPreviewing(bool previewing)
{
    m_previewing = previewing;
    if (m_preview) {
        const QString symbol = previewing ? QStringLiteral("speaker.wave.2.fill") : QStringLiteral("play.fill");
        m_preview->setProperty("symbol", symbol);
        m_preview->setIcon(Symbols::icon(symbol, ZOVAColor::accent(), 13));
    }
}

QSize VoiceRow::sizeHint() const { return QSize(400, 10 + 18 + 1 + 15 + 10); }

void VoiceRow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const bool selected = isChecked();
    const QRectF card = QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25);
    QPainterPath shape;
    shape.addRoundedRect(card, 10, 10);
    p.fillPath(shape,
        selected ? withAlpha(ZOVAColor::accent(), 0.1)
                 : withAlpha(QApplication::palette().color(QPalette::Button), 0.35));
    p.setPen(QPen(selected ? withAlpha(ZOVAColor::accent(), 0.35) : ZOVAColor::separator(), 0.5));
    p.drawPath(shape);

    // The selection mark.
    const QPointF markCenter(12 + 8, height() / 2.0);
    if (selected) {
        p.setPen(QPen(ZOVAColor::accent(), 5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(markCenter, 5.5, 5.5);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawEllipse(markCenter, 2, 2);
    } else {
        p.setPen(QPen(ZOVAColor::separator(), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(markCenter, 7.5, 7.5);
    }

    const qreal left = 12 + 16 + 12;
    const qreal right = width() - 12 - (m_preview ? 26 + 12 : 0);
    const QFont titleFont = Typography::semibold(13);
    const QFont subtitleFont = Typography::font(11);
    const QFontMetricsF titleMetrics(titleFont);
    const QFontMetricsF subtitleMetrics(subtitleFont);
    const qreal block = titleMetrics.height() + 1 + subtitleMetrics.height();
    const qreal top = (height() - block) / 2.0;
    p.setFont(titleFont);
    p.setPen(ZOVAColor::label());
    const QString title = titleMetrics.elidedText(m_title, Qt::ElideRight, right - left);
    p.drawText(QPointF(left, top + titleMetrics.ascent()), title);
    if (m_isAutoPick) {
        QFont badgeFont = Typography::bold(8.5);
        badgeFont.setLetterSpacing(QFont::AbsoluteSpacing, 0.4);
        const QFontMetricsF badgeMetrics(badgeFont);
        const QString badge = QStringLiteral("RECOMMENDED");
        const QRectF badgeRect(left + titleMetrics.horizontalAdvance(title) + 6,
            top + (titleMetrics.height() - badgeMetrics.height() - 3) / 2.0, badgeMetrics.horizontalAdvance(badge) + 8,
            badgeMetrics.height() + 3);
        QPainterPath capsule;
        capsule.addRoundedRect(badgeRect, badgeRect.height() / 2, badgeRect.height() / 2);
        p.fillPath(capsule, ZOVAColor::accent());
        p.setFont(badgeFont);
        p.setPen(Qt::white);
        p.drawText(badgeRect, Qt::AlignCenter, badge);
    }
    p.setFont(subtitleFont);
    p.setPen(ZOVAColor::secondaryLabel());
    p.drawText(QPointF(left, top + titleMetrics.height() + 1 + subtitleMetrics.ascent()),
        subtitleMetrics.elidedText(m_subtitle, Qt::ElideRight, right - left));

    if (m_preview) {
        m_preview->move(width() - 12 - 26, (height() - 26) / 2);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(ZOVAColor::accent(), 0.12));
        p.drawEllipse(QRectF(m_preview->geometry()));
    }
}

VoiceSettingsView::VoiceSettingsView(
    Settings& settings, std::unique_ptr<NarratorService> narrator, Delay delay, QWidget* parent)
    : QWidget(parent)
    , m_settings(settings)
    , m_narrator(narrator ? narrator.release() : new NarratorService(settings))
    , m_delay(std::move(delay))
{
    setObjectName(QStringLiteral("voiceSettings"));
    m_narrator->setParent(this);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(buildHeader());

    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("voiceList"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(scroll);
    content->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);
    m_list = new QVBoxLayout(content);
    m_list->setContentsMargins(20, 0, 20, 16);
    m_list->setSpacing(6);
    scroll->setWidget(content);
    column->addWidget(scroll, 1);
    column->addWidget(buildFooter());

    m_voices = m_narrator->availableVoices();
    rebuildRows();
}

VoiceSettingsView::~VoiceSettingsView() = default;

QWidget* VoiceSettingsView::buildHeader()
{
    auto* header = new QWidget(this);
    auto* v = new QVBoxLayout(header);
    v->setContentsMargins(20, 20, 20, 20);
    v->setSpacing(6);
    v->addWidget(text(QStringLiteral("Narrator voice"), Typography::bold(18), ZOVAColor::label, header));
    auto* intro
        = text(QStringLiteral("Pick the voice that reads your guide aloud in exported videos. We use whatever's "
                              "installed on this computer \u2014 no extra downloads from us."),
            Typography::font(12), ZOVAColor::secondaryLabel, header);
    intro->setWrapping(Qt::AlignLeft | Qt::AlignTop);
    v->addWidget(intro);

    m_currentRow = new QWidget(header);
    auto* h = new QHBoxLayout(m_currentRow);
    h->setContentsMargins(0, 4, 0, 0);
    h->setSpacing(6);
    auto* mark = new QLabel(m_currentRow);
    mark->setPixmap(Symbols::icon(QStringLiteral("waveform.circle.fill"), ZOVAColor::accent(), 14).pixmap(14, 14));
    h->addWidget(mark);
    m_current = text({}, Typography::semibold(11.5), ZOVAColor::label, m_currentRow);
    m_current->setObjectName(QStringLiteral("currentVoice"));
    h->addWidget(m_current);
    m_autoPicked = text(QStringLiteral("(auto-picked)"), Typography::font(11), ZOVAColor::secondaryLabel, m_currentRow);
    m_autoPicked->setObjectName(QStringLiteral("autoPicked"));
    h->addWidget(m_autoPicked);
    h->addStretch(1);
    v->addWidget(m_currentRow);
    return header;
}

QWidget* VoiceSettingsView::buildFooter()
{
    auto* footer = new QWidget(this);
    auto* v = new QVBoxLayout(footer);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(new Divider(footer));
    auto* row = new QWidget(footer);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(16, 16, 16, 16);
    h->setSpacing(10);
    auto* icon = new QLabel(row);
    icon->setPixmap(Symbols::icon(QStringLiteral("arrow.down.circle"), ZOVAColor::secondaryLabel(), 16).pixmap(16, 16));
    h->addWidget(icon);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(text(QStringLiteral("Want more voices?"), Typography::semibold(12), ZOVAColor::label, row));
    auto* hint
        = text(QStringLiteral("Install more espeak-ng voices with your package manager, then press Refresh Voices."),
            Typography::font(10.5), ZOVAColor::secondaryLabel, row);
    hint->setWrapping(Qt::AlignLeft | Qt::AlignTop);
    texts->addWidget(hint);
    h->addLayout(texts, 1);
    auto* refresh = new PillButton(QStringLiteral("Refresh Voices"), row);
    refresh->setObjectName(QStringLiteral("refreshVoices"));
    pill(refresh, PillStyle::Variant::primary(), PillStyle::Size::Sm);
    connect(refresh, &QAbstractButton::clicked, this, &VoiceSettingsView::refreshVoices);
    h->addWidget(refresh);
    m_refresh = refresh;
    v->addWidget(row);
    return footer;
}

QString VoiceSettingsView::voiceSubtitle(const Voice& voice)
{
    QString name = languageName(voice.language);
    if (name.isEmpty())
        name = voice.language;
    switch (voice.quality) {
    case Voice::Default: return name + QStringLiteral(" \u00B7 Standard quality");
    case Voice::Enhanced: return name + QStringLiteral(" \u00B7 Enhanced quality");
    case Voice::Premium: return name + QStringLiteral(" \u00B7 Premium quality");
    }
    return name;
}

QString VoiceSettingsView::autoPickSubtitle() const
{
    if (const auto voice = m_narrator->effectiveVoice())
        return QStringLiteral("Currently: ") + NarratorService::displayName(*voice);
    return QStringLiteral("Picks the best installed voice automatically");
}

void VoiceSettingsView::rebuildRows()
{
    qDeleteAll(m_rows);
    m_rows.clear();
    while (QLayoutItem* item = m_list->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    QWidget* content = m_list->parentWidget();
    auto add = [&](VoiceRow* row) {
        connect(row, &QAbstractButton::clicked, this, [this, id = row->id()] { setSelectedID(id); });
        m_list->addWidget(row);
        m_rows << row;
    };
    add(new VoiceRow(QString(), QStringLiteral("ZOVA default"), autoPickSubtitle(), true, content));
    if (!m_voices.isEmpty()) {
        auto* divider = new Divider(content);
        divider->setContentsMargins(0, 6, 0, 6);
        m_list->addWidget(divider);
    }
    for (const Voice& voice : m_voices) {
        auto* row = new VoiceRow(voice.identifier, voice.name, voiceSubtitle(voice), false, content);
        connect(row, &VoiceRow::previewClicked, this, [this, voice] { preview(voice); });
        add(row);
    }
    m_list->addStretch(1);
    refreshRows();
    refreshTexts();
}

void VoiceSettingsView::refreshRows()
{
    for (VoiceRow* row : m_rows) {
        row->setSelected(row->id() == m_selectedID);
        row->setPreviewing(m_previewingID && *m_previewingID == row->id());
    }
}

void VoiceSettingsView::refreshTexts()
{
    const auto voice = m_narrator->effectiveVoice();
    m_currentRow->setVisible(voice.has_value());
    if (voice)
        m_current->setText(QStringLiteral("Currently using: ") + NarratorService::displayName(*voice));
    m_autoPicked->setVisible(m_narrator->isAutoPicking());
    if (!m_rows.isEmpty())
        m_rows.first()->setSubtitle(autoPickSubtitle());
}

void VoiceSettingsView::setSelectedID(const QString& id)
{
    if (id != m_selectedID) {
        m_selectedID = id;
        m_settings.setValue(settings::narratorVoiceID, id);
    }
    refreshRows();
    refreshTexts();
}

void VoiceSettingsView::preview(const Voice& voice)
{
    m_previewingID = voice.identifier;
    m_narrator->preview(voice);
    refreshRows();
    after(m_delay, previewIconMs, this, [this, id = voice.identifier] {
        if (m_previewingID == id) {
            m_previewingID.reset();
            refreshRows();
        }
    });
}

void VoiceSettingsView::refreshVoices()
{
    m_voices = m_narrator->availableVoices();
    rebuildRows();
}

void VoiceSettingsView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    setSelectedID(m_settings.value(settings::narratorVoiceID));
}

} // namespace zova
