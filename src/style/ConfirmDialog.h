#pragma once

#include <QDialog>
#include <QString>

class QFont;

namespace zova {

class PillButton;
class TextLine;

// A question asked before something is lost: the question as its heading and as
// its window title, a message that says what goes, a button that goes ahead and
// Cancel. It is wide enough for the window manager's title bar to show its title
// (up to a limit), and its heading and message wrap, so both always show whole.
// Going ahead accepts it; Cancel, Escape and closing the window reject it.
class ConfirmDialog : public QDialog {
    Q_OBJECT
public:
    enum class Default { Confirm, Cancel };

    static constexpr int minimumWidth = 440;
    static constexpr int maximumWidth = 640;
    // What a title bar takes beside its title: the window's icon and buttons.
    static constexpr int titleBarReserve = 150;

    // `confirmText` names what the button does ("Delete"); Return presses
    // `defaultButton`.
    ConfirmDialog(const QString& title, const QString& message, const QString& confirmText, Default defaultButton,
        QWidget* parent = nullptr);

    QString title() const;
    QString message() const;
    TextLine* heading() const { return m_heading; }
    TextLine* messageLine() const { return m_message; }
    PillButton* confirmButton() const { return m_confirm; }
    PillButton* cancelButton() const { return m_cancel; }
    PillButton* defaultButton() const;

    // The width that lets a title bar in `font` show `windowTitle`, within the limits.
    static int widthFor(const QString& windowTitle, const QFont& font);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TextLine* m_heading;
    TextLine* m_message;
    PillButton* m_confirm;
    PillButton* m_cancel;
    Default m_default;
};

} // namespace zova
