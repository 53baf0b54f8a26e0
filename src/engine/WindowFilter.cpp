#include "engine/WindowFilter.h"

#include <algorithm>

namespace zova {

namespace {

int wholePoints(double v)
{
    return int(v); // truncates toward zero
}

} // namespace

const QSet<QString>& systemWmClassPrefixesToHide()
{
    static const QSet<QString> prefixes {
        // System agents, panels and widgets of the other desktop platform.
        QStringLiteral("com.apple.controlcenter"),
        QStringLiteral("com.apple.dock"),
        QStringLiteral("com.apple.notificationcenterui"),
        QStringLiteral("com.apple.systemuiserver"),
        QStringLiteral("com.apple.WindowManager"),
        QStringLiteral("com.apple.loginwindow"),
        QStringLiteral("com.apple.Spotlight"),
        QStringLiteral("com.apple.screencaptureui"),
        QStringLiteral("com.apple.PIPAgent"),
        QStringLiteral("com.apple.Siri"),
        QStringLiteral("com.apple.coreservices.uiagent"),
        QStringLiteral("com.apple.wallpaper"),
        QStringLiteral("com.apple.weather"),
        QStringLiteral("com.apple.clock"),
        QStringLiteral("com.apple.tips"),
        QStringLiteral("com.apple.WeatherKit"),
        QStringLiteral("com.apple.systempreferences"),
        QStringLiteral("com.apple.settings"),
        QStringLiteral("com.apple.universalAccessAuthWarn"),
        QStringLiteral("com.apple.AccessibilityUIServer"),
        QStringLiteral("com.apple.universalcontrol"),
        QStringLiteral("com.apple.wifi"),
        QStringLiteral("com.apple.appkit.xpc"),
        QStringLiteral("com.apple.SafariPlatformSupport"),
        QStringLiteral("com.apple.TextInputUI"),
        QStringLiteral("com.apple.SiriNCService"),
        // Desktop-shell components of Linux desktops (WM_CLASS instances).
        QStringLiteral("xfce4-panel"),
        QStringLiteral("xfce4-notifyd"),
        QStringLiteral("xfdesktop"),
        QStringLiteral("plasmashell"),
        QStringLiteral("gnome-shell"),
        QStringLiteral("lxpanel"),
        QStringLiteral("lxqt-panel"),
        QStringLiteral("mate-panel"),
        QStringLiteral("budgie-panel"),
        QStringLiteral("tint2"),
        QStringLiteral("polybar"),
        QStringLiteral("plank"),
        QStringLiteral("cairo-dock"),
        QStringLiteral("docky"),
        QStringLiteral("latte-dock"),
        QStringLiteral("conky"),
        QStringLiteral("dunst"),
        QStringLiteral("notify-osd"),
        QStringLiteral("stalonetray"),
        QStringLiteral("trayer"),
        QStringLiteral("desktop_window"),
    };
    return prefixes;
}

QString applicationNameFact(const DesktopWindow& window)
{
    return window.owningApplication ? window.owningApplication->applicationName : QStringLiteral("<no app>");
}

QString wmClassInstanceFact(const DesktopWindow& window)
{
    return window.owningApplication ? window.owningApplication->wmClassInstance : QStringLiteral("<no bundle>");
}

std::optional<QString> windowDropReason(const DesktopWindow& window, const ListingContext& context)
{
    const QString title = window.title.value_or(QString());
    const int w = wholePoints(window.frame.width());
    const int h = wholePoints(window.frame.height());
    const qint32 pid = window.processID();
    const QString instance = wmClassInstanceFact(window);
    const QString size = QStringLiteral("%1×%2)").arg(w).arg(h);

    if (window.windowLayer != 0)
        return QStringLiteral("layer=%1").arg(window.windowLayer);
    if (!title.isEmpty() && (w <= 30 || h <= 50))
        return QStringLiteral("titled, frame too small (") + size;
    if (title.isEmpty() && (w <= 200 || h <= 200))
        return QStringLiteral("untitled, frame too small (") + size;
    if (pid != 0 && !context.visibleRegularPIDs.contains(pid))
        return QStringLiteral("pid %1 not in visible-regular running apps").arg(pid);
    if (context.ownWmClassInstance && *context.ownWmClassInstance == instance)
        return QStringLiteral("self (Z.O.V.A)");
    const auto& prefixes = systemWmClassPrefixesToHide();
    if (std::any_of(prefixes.begin(), prefixes.end(), [&](const QString& p) { return instance.startsWith(p); }))
        return QStringLiteral("system bundle prefix (%1)").arg(instance);
    const QString app = applicationNameFact(window);
    if (app == QLatin1String("<no app>") || app.isEmpty())
        return QStringLiteral("no app name");
    return std::nullopt;
}

void sortForPicker(QList<DesktopWindow>& windows)
{
    // By code point, case-sensitive and not locale-aware: UTF-16 units would put
    // characters beyond U+FFFF (surrogates) before U+E000..U+FFFF.
    auto key = [](const DesktopWindow& w) {
        return std::pair((w.owningApplication ? w.owningApplication->applicationName : QString()).toUcs4(),
            w.title.value_or(QString()).toUcs4());
    };
    std::stable_sort(windows.begin(), windows.end(),
        [&](const DesktopWindow& a, const DesktopWindow& b) { return key(a) < key(b); });
}

QStringList pickerDumpLines(
    const DesktopSnapshot& content, const QList<std::optional<QString>>& reasons, const QDateTime& now)
{
    QStringList lines;
    lines << QStringLiteral("=== ZOVA picker dump · %1 +0000 ===")
                 .arg(now.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    lines << QStringLiteral("SCK raw: %1 windows").arg(content.windows.size());
    lines << QStringLiteral("All running app PIDs: %1").arg(content.applications.size());

    QList<ApplicationInfo> regular;
    QSet<qint32> regularPIDs;
    for (const auto& app : content.applications) {
        if (app.isVisibleRegular) {
            regular.append(app);
            regularPIDs.insert(app.processID);
        }
    }
    std::stable_sort(regular.begin(), regular.end(), [](const ApplicationInfo& a, const ApplicationInfo& b) {
        return a.localizedName.value_or(QString()) < b.localizedName.value_or(QString());
    });
    lines << QStringLiteral("Visible regular app PIDs: %1").arg(regularPIDs.size());
    lines << QStringLiteral("Visible-regular app names:");
    for (const auto& app : regular) {
        lines << QStringLiteral("  - %1 [pid %2, bundle %3]")
                     .arg(app.localizedName.value_or(QStringLiteral("<no name>")), QString::number(app.processID),
                         app.wmClassInstance.value_or(QStringLiteral("<none>")));
    }
    lines << QStringLiteral("---");
    int passed = 0;
    for (qsizetype i = 0; i < content.windows.size(); ++i) {
        const DesktopWindow& w = content.windows[i];
        const std::optional<QString>& reason = reasons.value(i);
        if (!reason)
            ++passed;
        QString line = reason ? QStringLiteral("✗") : QStringLiteral("✓");
        line += QStringLiteral(" [") + applicationNameFact(w) + QStringLiteral("] title=\"")
            + w.title.value_or(QString()) + QStringLiteral("\" frame=") + QString::number(wholePoints(w.frame.width()))
            + QStringLiteral("×") + QString::number(wholePoints(w.frame.height())) + QStringLiteral(" layer=")
            + QString::number(w.windowLayer) + QStringLiteral(" pid=") + QString::number(w.processID())
            + QStringLiteral(" bundle=") + wmClassInstanceFact(w);
        line += reason ? QStringLiteral(" → DROP: ") + *reason : QStringLiteral(" → PASS");
        lines << line;
    }
    lines << QStringLiteral("---");
    lines << QStringLiteral("Final: %1 of %2 passed").arg(passed).arg(content.windows.size());
    return lines;
}

} // namespace zova
