#pragma once

#include <QAbstractButton>
#include <QString>
#include <QUrl>
#include <QWidget>

#include <functional>

namespace zova {

// Where the legal documents are: files installed with the application.
namespace Legal {
// The document `name` for a binary in `binaryFolder`: share/zova/<name> beside
// that folder (an installed application), else <name> in it (a build tree);
// empty when neither exists.
QUrl installedDocument(const QString& binaryFolder, const QString& name);
// The privacy statement, PRIVACY.
QUrl privacyPolicyURL();
// The licence, LICENSE.
QUrl licenseFileURL();
} // namespace Legal

// The Settings window's Legal tab: the privacy policy link, the licence agreement
// and the note that all data stays on this computer.
class LegalSettingsView : public QWidget {
    Q_OBJECT
public:
    // Hands a URL to the desktop; the default opens it with QDesktopServices.
    using Opener = std::function<bool(const QUrl&)>;

    explicit LegalSettingsView(Opener open = {}, QWidget* parent = nullptr);

    QAbstractButton* privacyLink() const { return m_privacy; }
    QAbstractButton* licenseLink() const { return m_license; }

private:
    Opener m_open;
    QAbstractButton* m_privacy = nullptr;
    QAbstractButton* m_license = nullptr;
};

} // namespace zova
