#pragma once

#include <QWidget>

namespace zova {

class PillButton;

// "No guides yet" with the mark and a New Guide button.
class LibraryEmptyState : public QWidget {
    Q_OBJECT
public:
    explicit LibraryEmptyState(QWidget* parent = nullptr);
    PillButton* newGuideButton() const { return m_button; }

signals:
    void newGuideRequested();

private:
    PillButton* m_button;
};

} // namespace zova
