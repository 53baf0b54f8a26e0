#include "platform/speech/EspeakProcessSynthesizer.h"

#include "platform/Platform.h"

#include <QtEndian>

namespace zova::speech {

void EspeakProcessSynthesizer::ProcessDeleter::operator()(QProcess* p) const
{
    p->disconnect();
    if (p->state() != QProcess::NotRunning) {
        p->kill();
        p->waitForFinished(2000);
    }
    delete p;
}

EspeakProcessSynthesizer::EspeakProcessSynthesizer(QObject* parent)
    : QObject(parent)
{
}

EspeakProcessSynthesizer::~EspeakProcessSynthesizer() = default;

void EspeakProcessSynthesizer::write(const QString& text, const SpeechVoice& voice, BufferHandler handler)
{
    stop();
    m_handler = std::move(handler);
    m_pending.clear();
    m_headerRead = false;
    m_process.reset(new QProcess);
    QProcess* p = m_process.get();
    connect(p, &QProcess::readyReadStandardOutput, this, &EspeakProcessSynthesizer::readOutput);
    connect(p, &QProcess::finished, this, &EspeakProcessSynthesizer::finish);
    connect(p, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart) {
            qCWarning(lcPlatform) << "could not start" << m_program;
            finish();
        }
    });
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->setStandardErrorFile(QProcess::nullDevice());
    // The text goes through stdin, so nothing in it can be read as an option.
    p->start(m_program,
        { QStringLiteral("-v"), voice.identifier, QStringLiteral("-b"), QStringLiteral("1"), QStringLiteral("--stdout"),
            QStringLiteral("--stdin") });
    p->write(text.toUtf8());
    p->closeWriteChannel();
}

void EspeakProcessSynthesizer::stop()
{
    m_handler = nullptr;
    m_process.reset();
}

void EspeakProcessSynthesizer::readOutput()
{
    if (!m_process)
        return;
    m_pending.append(m_process->readAllStandardOutput());
    if (!m_headerRead) {
        // RIFF header: walk the chunks up to "data"; "fmt " gives channels and rate.
        if (m_pending.size() < 12)
            return;
        qsizetype pos = 12;
        while (true) {
            if (m_pending.size() < pos + 8)
                return;
            const QByteArray id = m_pending.mid(pos, 4);
            const quint32 size = qFromLittleEndian<quint32>(m_pending.constData() + pos + 4);
            if (id == "data") {
                m_pending.remove(0, pos + 8);
                m_headerRead = true;
                break;
            }
            if (id == "fmt ") {
                if (m_pending.size() < pos + 8 + 16)
                    return;
                m_channels = qMax(1, int(qFromLittleEndian<quint16>(m_pending.constData() + pos + 10)));
                m_sampleRate = int(qFromLittleEndian<quint32>(m_pending.constData() + pos + 12));
            }
            pos += 8 + size;
        }
    }
    const qsizetype frameBytes = 2 * m_channels;
    const qsizetype usable = m_pending.size() / frameBytes * frameBytes;
    if (usable == 0 || !m_handler)
        return;
    PcmBuffer block;
    block.sampleRate = m_sampleRate;
    block.channels = m_channels;
    block.format = PcmBuffer::SampleFormat::Int16;
    block.frameLength = usable / frameBytes;
    block.data = m_pending.left(usable);
    m_pending.remove(0, usable);
    m_handler(block);
}

void EspeakProcessSynthesizer::finish()
{
    readOutput();
    BufferHandler handler = std::move(m_handler);
    m_handler = nullptr;
    if (handler) {
        PcmBuffer end;
        end.sampleRate = m_sampleRate;
        end.channels = m_channels;
        handler(end);
    }
}

} // namespace zova::speech
