#include "engine/AppRestarter.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>

namespace zova {

ProcessRestarter::ProcessRestarter(Steps steps, QString program, std::optional<QStringList> arguments)
    : m_steps(std::move(steps))
    , m_program(std::move(program))
    , m_arguments(std::move(arguments))
{
}

std::optional<QString> ProcessRestarter::relaunch()
{
    if (m_steps.save) {
        if (auto failed = m_steps.save())
            return QStringLiteral("could not save before relaunching: %1").arg(*failed);
    }
    QProcess process;
    process.setProgram(m_program.isEmpty() ? QCoreApplication::applicationFilePath() : m_program);
    process.setArguments(m_arguments ? *m_arguments : QCoreApplication::arguments().mid(1));
    process.setWorkingDirectory(QDir::currentPath());
    if (!process.startDetached())
        return QStringLiteral("could not start %1: %2").arg(process.program(), process.errorString());
    if (m_steps.quit)
        m_steps.quit();
    return std::nullopt;
}

} // namespace zova
