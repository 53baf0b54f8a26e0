#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zova {

// Relaunches the application: first saves what is unsaved, then starts a new
// instance, then ends this one. A step that fails stops the relaunch and leaves
// this instance running.
class AppRestarter {
public:
    virtual ~AppRestarter() = default;
    // Nothing on success (this instance is ending), else why the relaunch failed.
    virtual std::optional<QString> relaunch() = 0;
};

// The relaunch by a new process of the given program and arguments.
class ProcessRestarter final : public AppRestarter {
public:
    struct Steps {
        // Saves unsaved work; a failure text stops the relaunch.
        std::function<std::optional<QString>()> save;
        // Ends this instance once the new one has started.
        std::function<void()> quit;
    };
    // The program and arguments default to this process's own.
    explicit ProcessRestarter(Steps steps, QString program = {}, std::optional<QStringList> arguments = {});

    std::optional<QString> relaunch() override;

private:
    Steps m_steps;
    QString m_program;
    std::optional<QStringList> m_arguments;
};

} // namespace zova
