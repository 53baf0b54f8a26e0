#pragma once

#include <QDBusVariant>
#include <QObject>

namespace zova {

// The desktop's light or dark preference, for "Follow system".
class ColorSchemeSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual bool prefersDark() const = 0;

signals:
    void changed();
};

// Reads "color-scheme" of the freedesktop settings portal over the session bus and
// follows its changes. No bus, no portal or "no preference" read as light.
class PortalColorScheme : public ColorSchemeSource {
    Q_OBJECT
public:
    explicit PortalColorScheme(QObject* parent = nullptr);
    bool prefersDark() const override { return m_dark; }

private slots:
    void onSettingChanged(const QString& ns, const QString& key, const QDBusVariant& value);

private:
    void setDark(bool dark);
    bool m_dark = false;
};

} // namespace zova
