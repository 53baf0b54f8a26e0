#include "app/ColorSchemeSource.h"

#include "app/AppLog.h"
#include "base/NotifyingProperty.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDBusVariant>

namespace zova {

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kNamespace = QStringLiteral("org.freedesktop.appearance");
const QString kKey = QStringLiteral("color-scheme");

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
    QDBusInterface settings(kService, kPath, kInterface, bus);
    settings.setTimeout(500);
    const QDBusMessage reply = settings.call(QStringLiteral("Read"), kNamespace, kKey);
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        m_dark = isDarkValue(reply.arguments().constFirst());
    else
        qCDebug(lcApp) << "colour scheme portal not available:" << reply.errorMessage();
    bus.connect(kService, kPath, kInterface, QStringLiteral("SettingChanged"), this,
        SLOT(onSettingChanged(QString, QString, QDBusVariant)));
}

void PortalColorScheme::onSettingChanged(const QString& ns, const QString& key, const QDBusVariant& value)
{
    if (ns == kNamespace && key == kKey)
        setDark(isDarkValue(value.variant()));
}

void PortalColorScheme::setDark(bool dark) { setNotifying(this, m_dark, dark, &PortalColorScheme::changed); }

} // namespace zova
