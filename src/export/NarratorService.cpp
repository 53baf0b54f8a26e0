#include "export/NarratorService.h"

#include "model/Settings.h"
#include "platform/speech/EspeakVoiceCatalog.h"
#include "platform/speech/SpeechPreviewPlayer.h"

#include <QLocale>
#include <QPointer>

#include <algorithm>

namespace zova {

NarratorService::Sources NarratorService::defaultSources(const Settings& settings)
{
    QPointer<const Settings> stored(&settings);
    return { std::make_shared<speech::EspeakVoiceCatalog>(), [] { return QLocale().name(); },
        [stored] { return stored ? stored->value(settings::narratorVoiceID) : QString(); } };
}

NarratorService::NarratorService(const Settings& settings, QObject* parent)
    : NarratorService(defaultSources(settings), parent)
{
}

NarratorService::NarratorService(Sources sources, QObject* parent)
    : QObject(parent)
    , m_sources(std::move(sources))
    , m_previewSynth(new speech::SpeechPreviewPlayer(this))
{
}

NarratorService::~NarratorService() = default;

QList<NarratorService::Voice> NarratorService::sortedVoices(QList<Voice> voices)
{
    std::stable_sort(voices.begin(), voices.end(), [](const Voice& a, const Voice& b) {
        if (a.language == b.language)
            return a.quality > b.quality;
        // Plain code-unit order: the tags are ASCII, so this is scalar-value order.
        return QString::compare(a.language, b.language, Qt::CaseSensitive) < 0;
    });
    return voices;
}

QList<NarratorService::Voice> NarratorService::availableVoices() const
{
    return sortedVoices(m_sources.catalog ? m_sources.catalog->installedVoices() : QList<Voice>());
}

std::optional<NarratorService::Voice> NarratorService::autoPickBestVoice(
    const QList<Voice>& voices, const QString& localeIdentifier)
{
    if (voices.isEmpty())
        return std::nullopt;
    QList<Voice> byQuality = voices;
    std::stable_sort(
        byQuality.begin(), byQuality.end(), [](const Voice& a, const Voice& b) { return a.quality > b.quality; });
    const auto first = [&](const std::function<bool(const Voice&)>& test) -> std::optional<Voice> {
        const auto it = std::find_if(byQuality.cbegin(), byQuality.cend(), test);
        return it == byQuality.cend() ? std::nullopt : std::optional<Voice>(*it);
    };
    QString tag = localeIdentifier;
    tag.replace(QLatin1Char('_'), QLatin1Char('-'));
    if (auto v = first([&](const Voice& v) { return v.language == tag; }))
        return v;
    const QString prefix = tag.left(2) + QLatin1Char('-');
    if (auto v = first([&](const Voice& v) { return v.language.startsWith(prefix); }))
        return v;
    if (auto v = first([](const Voice& v) { return v.language == QLatin1String("en-US"); }))
        return v;
    if (auto v = first([](const Voice& v) { return v.language.startsWith(QLatin1String("en-")); }))
        return v;
    return byQuality.first();
}

std::optional<NarratorService::Voice> NarratorService::storedVoice() const
{
    const QString id = m_sources.storedVoiceId ? m_sources.storedVoiceId() : QString();
    if (id.isEmpty() || !m_sources.catalog)
        return std::nullopt;
    return m_sources.catalog->voice(id);
}

std::optional<NarratorService::Voice> NarratorService::effectiveVoice() const
{
    if (auto v = storedVoice())
        return v;
    const QList<Voice> voices = m_sources.catalog ? m_sources.catalog->installedVoices() : QList<Voice>();
    return autoPickBestVoice(voices, m_sources.localeIdentifier ? m_sources.localeIdentifier() : QString());
}

bool NarratorService::isAutoPicking() const { return !storedVoice().has_value(); }

QString NarratorService::displayName(const Voice& voice)
{
    const QString dot = QStringLiteral(" \u00B7 ");
    switch (voice.quality) {
    case Voice::Premium: return voice.name + QStringLiteral(" (Premium)") + dot + voice.language;
    case Voice::Enhanced: return voice.name + QStringLiteral(" (Enhanced)") + dot + voice.language;
    default: return voice.name + dot + voice.language;
    }
}

void NarratorService::preview(const Voice& voice) { m_previewSynth->speak(previewSentence(), voice.identifier); }

} // namespace zova
