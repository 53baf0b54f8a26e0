#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QAbstractButton;

namespace zova {

class EditorController;
class PermissionsService;
class TextLine;

// What the canvas shows for a guide without steps: without click tracking, why
// nothing was recorded and a way to check again; with it, a hint to record or
// add a step. While shown it re-reads the session's capabilities every second,
// so the panel follows a change within about a second.
class EmptyStateView : public QWidget {
    Q_OBJECT
public:
    static constexpr int pollIntervalMs = 1000;

    // Without a permissions service the panel assumes click tracking works and never polls.
    EmptyStateView(EditorController* controller, PermissionsService* permissions, QWidget* parent = nullptr);

    // True while the "not available" panel is shown.
    bool showsPermissionMissing() const { return m_missingPanel && !m_missingPanel->isHidden(); }
    QWidget* permissionPanel() const { return m_missingPanel; }
    QWidget* noStepsPanel() const { return m_noStepsPanel; }
    const QTimer& pollTimer() const { return m_poll; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void refresh();

    QPointer<EditorController> m_controller;
    QPointer<PermissionsService> m_permissions;
    QWidget* m_missingPanel = nullptr;
    QWidget* m_noStepsPanel = nullptr;
    QTimer m_poll;
};

} // namespace zova
