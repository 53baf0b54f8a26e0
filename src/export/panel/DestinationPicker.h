#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace zova {

// One question for a destination: what the modal picker shows and accepts.
struct DestinationRequest {
    enum class Kind {
        SaveFolder, // a new folder, or an existing one to export into
        SaveFile, // a file with `extension`, added when the user types none
        ParentFolder, // an existing folder
    };
    Kind kind = Kind::SaveFile;
    QString title;
    QString suggestedName; // the name field; empty for none
    QString extension; // SaveFile only, without a dot
    QStringList nameFilters; // empty for any file
    QString prompt; // the accept button

    bool operator==(const DestinationRequest&) const = default;

    static DestinationRequest saveFolder(const QString& suggestedName);
    static DestinationRequest saveFile(const QString& extension, const QString& suggestedName);
    static DestinationRequest parentFolder();
};

// The path with ".extension" added when its file name has no extension.
QString withExtension(const QString& path, const QString& extension);

// Asks the user where an export goes. Each call is modal: it returns once the
// user answered, and the event loop may run meanwhile (the caller must expect
// its own objects to be gone afterwards).
class DestinationPicker {
public:
    virtual ~DestinationPicker() = default;
    // The chosen absolute path, or nothing when the user cancelled.
    virtual std::optional<QString> pick(const DestinationRequest& request) = 0;
    // True when the user agrees to replace the earlier export `name` (a file, a folder,
    // or for HTML + PDF the slug of both).
    virtual bool confirmReplace(const QString& name) = 0;

    // "Replace the existing export “name”?"
    static QString replaceQuestion(const QString& name);
};

} // namespace zova
