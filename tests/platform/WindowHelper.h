#pragma once

#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <stdexcept>

// Drives a window helper process (its windows carry the helper's pid). Every
// command waits for its answer; a failure throws, which ends the test.
class WindowHelper {
public:
    explicit WindowHelper(const QString& program)
    {
        m_process.setProgram(program);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        if (!m_process.waitForStarted(5000) || readLine() != QLatin1String("ready"))
            throw std::runtime_error("window helper did not start");
        m_pid = qint32(m_process.processId());
    }
    ~WindowHelper()
    {
        if (m_process.state() == QProcess::Running) {
            m_process.write("quit\n");
            if (!m_process.waitForFinished(3000))
                m_process.kill();
            m_process.waitForFinished(1000);
        }
    }
    WindowHelper(const WindowHelper&) = delete;
    WindowHelper& operator=(const WindowHelper&) = delete;

    qint32 pid() const { return m_pid; }

    // "create" with the given arguments; the new window's id.
    quint32 create(const QString& arguments) { return command(QStringLiteral("create ") + arguments).toUInt(); }
    void map(quint32 id) { command(QStringLiteral("map %1").arg(id)); }
    void unmap(quint32 id) { command(QStringLiteral("unmap %1").arg(id)); }
    void destroy(quint32 id) { command(QStringLiteral("destroy %1").arg(id)); }

    // The answer after "ok ".
    QString command(const QString& line)
    {
        m_process.write((line + QLatin1Char('\n')).toUtf8());
        const QString answer = readLine();
        if (!answer.startsWith(QLatin1String("ok")))
            throw std::runtime_error(("window helper: " + line + " -> " + answer).toStdString());
        return answer.mid(3);
    }

private:
    QString readLine()
    {
        QDeadlineTimer deadline(10000);
        while (!m_process.canReadLine()) {
            if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
                return QStringLiteral("error no answer");
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    QProcess m_process;
    qint32 m_pid = 0;
};
