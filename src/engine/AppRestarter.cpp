#include "engine/AppRestarter.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace zova {

namespace {

// Waits while process $1 lives (a zombie counts as ended), then runs the rest.
constexpr const char* waitThenRun
    = "while s=$(sed 's/.*) //' /proc/\"$1\"/stat 2>/dev/null) && [ \"${s%% *}\" != Z ]; do sleep 0.1; done; "
      "shift; exec \"$@\"";

} // namespace

ProcessRestarter::ProcessRestarter(Steps steps)
    : m_steps(std::move(steps))
{
}

ProcessRestarter::ProcessRestarter(Steps steps, Target target)
    : m_steps(std::move(steps))
    , m_target(std::move(target))
{
}

std::optional<QString> ProcessRestarter::relaunch()
{
    if (m_steps.save) {
        if (auto failed = m_steps.save())
            return QStringLiteral("could not save before relaunching: %1").arg(*failed);
    }
    const QString program = m_target.program.isEmpty() ? QCoreApplication::applicationFilePath() : m_target.program;
    if (!QFileInfo(program).isExecutable())
        return QStringLiteral("could not start %1: it is not an executable file").arg(program);
    const qint64 replaced = m_target.replacedPid ? m_target.replacedPid : QCoreApplication::applicationPid();
    QStringList arguments { QStringLiteral("-c"), QString::fromLatin1(waitThenRun), QStringLiteral("zova-relaunch"),
        QString::number(replaced), program };
    arguments += m_target.arguments ? *m_target.arguments : QCoreApplication::arguments().mid(1);
    QProcess waiter;
    waiter.setProgram(QStringLiteral("/bin/sh"));
    waiter.setArguments(arguments);
    waiter.setWorkingDirectory(QDir::currentPath());
    if (!waiter.startDetached())
        return QStringLiteral("could not start %1: %2").arg(program, waiter.errorString());
    if (m_steps.quit)
        m_steps.quit();
    return std::nullopt;
}

} // namespace zova
