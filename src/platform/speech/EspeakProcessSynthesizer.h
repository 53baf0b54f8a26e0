#pragma once

#include "platform/speech/SpeechTypes.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>

#include <memory>

namespace zova::speech {

// Speaks through an `espeak-ng --stdout` child process and streams its WAV output
// as 16-bit PCM blocks. Lives on the thread that created it; the handler is called
// there. stop() kills the child at once.
class EspeakProcessSynthesizer : public QObject, public SpeechSynthesizer {
    Q_OBJECT
public:
    explicit EspeakProcessSynthesizer(QObject* parent = nullptr);
    ~EspeakProcessSynthesizer() override;

    void write(const QString& text, const SpeechVoice& voice, BufferHandler handler) override;
    void stop() override;

    // The program started for each text; "espeak-ng" on the PATH unless changed.
    void setProgram(const QString& program) { m_program = program; }

private:
    void readOutput();
    void finish();

    struct ProcessDeleter {
        void operator()(QProcess* p) const;
    };

    QString m_program = QStringLiteral("espeak-ng");
    std::unique_ptr<QProcess, ProcessDeleter> m_process;
    BufferHandler m_handler;
    QByteArray m_pending;
    bool m_headerRead = false;
    int m_sampleRate = 22050;
    int m_channels = 1;
};

} // namespace zova::speech
