#include "platform/speech/SpeechPreviewPlayer.h"

namespace zova::speech {

SpeechPreviewPlayer::SpeechPreviewPlayer(QObject* parent)
    : QObject(parent)
{
}

SpeechPreviewPlayer::~SpeechPreviewPlayer() { stop(); }

void SpeechPreviewPlayer::speak(const QString& text, const QString& voiceIdentifier)
{
    stop();
    m_process = new QProcess(this);
    QProcess* p = m_process;
    connect(p, &QProcess::finished, p, &QObject::deleteLater);
    connect(p, &QProcess::errorOccurred, p, [p](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            p->deleteLater();
    });
    connect(p, &QObject::destroyed, this, [this, p] {
        if (m_process == p)
            m_process = nullptr;
    });
    p->setStandardOutputFile(QProcess::nullDevice());
    p->setStandardErrorFile(QProcess::nullDevice());
    p->start(m_program,
        { QStringLiteral("-v"), voiceIdentifier, QStringLiteral("-b"), QStringLiteral("1"),
            QStringLiteral("--stdin") });
    p->write(text.toUtf8());
    p->closeWriteChannel();
}

void SpeechPreviewPlayer::stop()
{
    QProcess* p = m_process;
    m_process = nullptr;
    if (!p)
        return;
    p->disconnect();
    if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(1000);
    }
    delete p;
}

bool SpeechPreviewPlayer::isSpeaking() const { return m_process && m_process->state() != QProcess::NotRunning; }

} // namespace zova::speech
