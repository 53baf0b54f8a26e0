#pragma once

#include "platform/speech/SpeechTypes.h"

#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace zova {

class Settings;

namespace speech {
class SpeechPreviewPlayer;
}

// Which installed voice reads a guide aloud. Nothing is cached: every answer is
// computed from the installed voices, the locale and the stored choice at the call.
// GUI thread only.
class NarratorService : public QObject {
    Q_OBJECT
public:
    using Voice = speech::SpeechVoice;

    // Where the answers come from.
    struct Sources {
        std::shared_ptr<const speech::VoiceCatalog> catalog;
        std::function<QString()> localeIdentifier; // such as "en_GB"
        std::function<QString()> storedVoiceId;
    };

    // espeak-ng's voices, the current locale and the voice stored in the settings
    // (which must outlive this service).
    explicit NarratorService(const Settings& settings, QObject* parent = nullptr);
    static Sources defaultSources(const Settings& settings);
    explicit NarratorService(Sources sources, QObject* parent = nullptr);
    ~NarratorService() override;

    // Installed voices sorted by language, best quality first within a language.
    QList<Voice> availableVoices() const;
    // The stored choice when it names an installed voice, else the automatic pick;
    // empty only when no voice is installed.
    std::optional<Voice> effectiveVoice() const;
    // True exactly when effectiveVoice() is the automatic pick.
    bool isAutoPicking() const;
    // "Name (Premium) · en-GB", "Name (Enhanced) · en-GB" or "Name · en-GB".
    static QString displayName(const Voice& voice);
    // Stops a preview still speaking and speaks the preview sentence with the voice.
    void preview(const Voice& voice);
    // The player of the previews (its program can be replaced in tests).
    speech::SpeechPreviewPlayer* previewPlayer() const { return m_previewSynth; }

    static QString previewSentence()
    {
        return QStringLiteral("Z.O.V.A narrator preview. This voice will read your guide.");
    }

    // The automatic choice among the voices for a locale identifier such as "en_GB".
    static std::optional<Voice> autoPickBestVoice(const QList<Voice>& voices, const QString& localeIdentifier);
    // The voice-list order: a stable sort by language, quality descending within one.
    static QList<Voice> sortedVoices(QList<Voice> voices);

private:
    std::optional<Voice> storedVoice() const;

    Sources m_sources;
    speech::SpeechPreviewPlayer* m_previewSynth = nullptr;
};

} // namespace zova
