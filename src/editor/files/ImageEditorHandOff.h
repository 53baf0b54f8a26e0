#pragma once

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>

namespace zova {

// Hands a screenshot to the desktop's default image editor: a PNG copy named
// "ZOVA_" + UUID + ".png" in a folder of its own, then opened through the desktop.
// The copy shows what blur marks hide, so the folder is the user's alone (0700) and
// so is each copy (0600); a copy stays while its step exists in this run, and goes
// with its step or at the next start. The step's own file is never touched. Copies
// of one hand-off share the record of what they handed over. GUI thread.
class ImageEditorHandOff {
public:
    // Opens a file URL with the desktop's default application; false when it could not.
    using Opener = std::function<bool(const QUrl& url)>;

    // "Z.O.V.A" under the user's Pictures folder.
    static QString defaultFolder();
    // The default folder, opened through QDesktopServices::openUrl.
    ImageEditorHandOff();
    // Empty arguments take the defaults.
    ImageEditorHandOff(QString folder, Opener open);

    QString folder() const { return m_folder; }

    struct Result {
        // The copy that was opened, when it was written.
        QString path;
        // The alert text, when something failed.
        std::optional<QString> error;
    };
    // Copies the screenshot of step `stepId` at `screenshotPath` and opens the copy.
    // Nothing at all (no file, no text) when the screenshot cannot be read.
    std::optional<Result> open(const QUuid& stepId, const QString& screenshotPath) const;

    // Removes the copies handed over for these steps, which are gone.
    void removeCopiesOf(const QSet<QUuid>& stepIds) const;
    // Removes every copy in `folder` written before `writtenBefore` and makes the
    // folder private: no hand-off of an earlier run needs its copy any more. Files
    // not named like a copy stay. Any thread.
    static void removeEveryCopy(const QString& folder, const QDateTime& writtenBefore);

private:
    QString m_folder;
    Opener m_open;
    // Each step's copies, for every copy of this hand-off.
    std::shared_ptr<QHash<QUuid, QStringList>> m_copies;
};

} // namespace zova
