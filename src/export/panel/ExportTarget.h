#pragma once

#include <QPointer>
#include <QString>

namespace zova {

class Guide;

// The guide an export panel exports. Held by a guarded pointer: the panel never
// writes to it, and a guide deleted meanwhile reads as gone.
class ExportTarget {
public:
    explicit ExportTarget(Guide* guide);
    ~ExportTarget();
    ExportTarget(const ExportTarget&);
    ExportTarget& operator=(const ExportTarget&);

    Guide* guide() const;
    // The guide's title, or "Untitled Guide" for an empty one (a title of spaces stays).
    QString title() const;
    // "3 steps · pick a format and a save location"; singular only for exactly one step.
    QString subtitle() const;

    static QString titleFor(const QString& guideTitle);
    static QString subtitleFor(qsizetype stepCount);

private:
    QPointer<Guide> m_guide;
};

} // namespace zova
