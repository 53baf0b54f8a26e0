#pragma once

#include <QObject>
#include <QProcess>
#include <QString>

#include <memory>

namespace zova::speech {

// Speaks a sentence through the default audio output with an `espeak-ng` child
// process. A new sentence cuts the previous one short. Without audio output or
// without espeak-ng nothing is heard and nothing is reported.
class SpeechPreviewPlayer : public QObject {
    Q_OBJECT
public:
    explicit SpeechPreviewPlayer(QObject* parent = nullptr);
    ~SpeechPreviewPlayer() override;

    void speak(const QString& text, const QString& voiceIdentifier);
    void stop();
    bool isSpeaking() const;

    void setProgram(const QString& program) { m_program = program; }

private:
    QString m_program = QStringLiteral("espeak-ng");
    QProcess* m_process = nullptr;
};

} // namespace zova::speech
