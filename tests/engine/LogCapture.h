#pragma once

#include <QMutex>
#include <QString>
#include <QStringList>

// Collects the messages of one logging category while it lives.
class LogCapture {
public:
    explicit LogCapture(const char* category)
    {
        s_category = category;
        s_lines.clear();
        m_previous = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(m_previous); }

    QStringList lines() const
    {
        QMutexLocker lock(&s_mutex);
        return s_lines;
    }
    void clear()
    {
        QMutexLocker lock(&s_mutex);
        s_lines.clear();
    }

private:
    static void handle(QtMsgType, const QMessageLogContext& context, const QString& message)
    {
        if (context.category && QLatin1String(context.category) == QLatin1String(s_category)) {
            QMutexLocker lock(&s_mutex);
            s_lines.append(message);
        }
    }

    QtMessageHandler m_previous = nullptr;
    static inline const char* s_category = "";
    static inline QStringList s_lines;
    static inline QMutex s_mutex;
};
