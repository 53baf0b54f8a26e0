#pragma once

#include <QLineEdit>

namespace zova {

class GlassCard;

// The search line edit. Ctrl+K and Ctrl+F keep the focus here and never edit the
// text (a line edit would otherwise delete to the end of the line on Ctrl+K).
class SearchLineEdit : public QLineEdit {
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

// The glass search box: a magnifying glass, the line edit and the "Ctrl+K" hint.
class SearchField : public QWidget {
    Q_OBJECT
public:
    explicit SearchField(QWidget* parent = nullptr);
    SearchLineEdit* lineEdit() const { return m_edit; }

private:
    SearchLineEdit* m_edit;
};

} // namespace zova
