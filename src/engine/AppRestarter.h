#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zova {

// Relaunches the application: first saves what is unsaved, then arranges for a
// new instance and ends this one. A step that fails stops the relaunch and leaves
// this instance running.
class AppRestarter {
public:
    virtual ~AppRestarter() = default;
    // Nothing on success (this instance is ending), else why the relaunch failed.
    virtual std::optional<QString> relaunch() = 0;
};

// The relaunch by a new process of the given program and arguments. The new
// process starts only once the one it replaces has ended, so it never meets the
// old instance still holding the store.
class ProcessRestarter final : public AppRestarter {
public:
    struct Steps {
        // Saves unsaved work; a failure text stops the relaunch.
        std::function<std::optional<QString>()> save;
        // Ends this instance; called once the new one is arranged.
        std::function<void()> quit;
    };
    struct Target {
        QString program; // empty: this process's executable
        std::optional<QStringList> arguments; // none: this process's own
        qint64 replacedPid = 0; // 0: this process
    };
    // This process's program and arguments, replacing this process.
    explicit ProcessRestarter(Steps steps);
    ProcessRestarter(Steps steps, Target target);

    std::optional<QString> relaunch() override;

private:
    Steps m_steps;
    Target m_target;
};

} // namespace zova
