#pragma once

#include <QString>

namespace zova {

// Why a video export failed, with the text the export panel shows.
struct VideoExportError {
    enum class Kind {
        WriterCreationFailed, // "Could not start the video writer: " + message
        NoUsableSteps, // "Nothing to render — no steps with screenshots."
        Media, // an encoder or file error, shown as it stands
    };
    Kind kind = Kind::WriterCreationFailed;
    QString message;

    static VideoExportError writerCreationFailed(const QString& message)
    {
        return { Kind::WriterCreationFailed, message };
    }
    static VideoExportError noUsableSteps() { return { Kind::NoUsableSteps, {} }; }
    static VideoExportError media(const QString& message) { return { Kind::Media, message }; }

    QString description() const;
};

} // namespace zova
