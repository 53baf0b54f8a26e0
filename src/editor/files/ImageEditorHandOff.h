#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace zova {

// Hands a screenshot to the desktop's default image editor: a PNG copy named
// "ZOVA_" + UUID + ".png" in a folder of its own (kept there for the user), then
// opened through the desktop. The step's own file is never touched.
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
    // Copies the screenshot at `screenshotPath` and opens the copy. Nothing at all
    // (no file, no text) when the screenshot cannot be read.
    std::optional<Result> open(const QString& screenshotPath) const;

private:
    QString m_folder;
    Opener m_open;
};

} // namespace zova
