#pragma once

#include <QColor>
#include <QWidget>

namespace zova {

class TextLine;

// The export panel's result line: a success or failure mark and the message as given.
class StatusLine : public QWidget {
    Q_OBJECT
public:
    explicit StatusLine(QWidget* parent = nullptr);

    void setStatus(const QString& message, bool failed);
    QString message() const;
    bool failed() const { return m_failed; }
    // "xmark.octagon.fill" after a failure, else "checkmark.circle.fill".
    QString symbol() const;
    // Magenta after a failure, else emerald.
    QColor symbolColor() const;

private:
    class Mark;
    Mark* m_mark;
    TextLine* m_text;
    bool m_failed = false;
};

} // namespace zova
