#include "app/shell/ColorSchemeSource.h"

#include "app/AppLog.h"
#include "base/NotifyingProperty.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>

namespace zova {

namespace {
const QString portalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString portalInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearanceNamespace = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");

// 1 means "prefer dark"; 0 (no preference) and 2 (prefer light) read as light.
bool isDarkValue(QVariant v)
{
    while (v.canConvert<QDBusVariant>() && v.userType() == qMetaTypeId<QDBusVariant>())
        v = v.value<QDBusVariant>().variant();
    return v.toUInt() == 1;
}
} // namespace

PortalColorScheme::PortalColorScheme(QObject* parent)
    : ColorSchemeSource(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusInterface settings(portalService, portalPath, portalInterface, bus);
    settings.setTimeout(500);
    const QDBusMessage reply = settings.call(QStringLiteral("Read"), appearanceNamespace, colorSchemeKey);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        m_dark = isDarkValue(reply.arguments().constFirst());
    else
        qCDebug(lcApp) << "colour scheme portal not available:" << reply.errorMessage();
    bus.connect(portalService, portalPath, portalInterface, QStringLiteral("SettingChanged"), this,
        SLOT(onSettingChanged(QString, QString, QDBusVariant)));
}

void PortalColorScheme::onSettingChanged(const QString& ns, const QString& key, const QDBusVariant& value)
{
    if (ns == appearanceNamespace && key == colorSchemeKey)
        setDark(isDarkValue(value.variant()));
}

void PortalColorScheme::setDark(bool dark) { setNotifying(this, m_dark, dark, &PortalColorScheme::changed); }

} // namespace zova
