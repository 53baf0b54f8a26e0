#pragma once

#include "export/panel/DestinationPicker.h"

#include <QPointer>
#include <QWidget>

class QFileDialog;

namespace zova {

// Destinations from Qt's own file dialog (never the desktop's native one, so the
// prompts and the folder rules below hold everywhere) and a Replace/Cancel alert.
// A save-folder dialog accepts an existing folder to export into; a save-file
// dialog adds the request's extension when the user typed none. Neither asks about
// an existing file itself: the run asks with confirmReplace().
class FileDialogPicker : public DestinationPicker {
public:
    explicit FileDialogPicker(QWidget* parent = nullptr)
        : m_parent(parent)
    {
    }

    std::optional<QString> pick(const DestinationRequest& request) override;
    bool confirmReplace(const QString& name) override;

    // The dialog pick() runs for a request, not yet shown; the caller owns it.
    static QFileDialog* makeDialog(const DestinationRequest& request, QWidget* parent);
    // The destination of a dialog that ended with Accept.
    static std::optional<QString> chosenPath(const QFileDialog& dialog, const DestinationRequest& request);

private:
    QPointer<QWidget> m_parent;
};

} // namespace zova
