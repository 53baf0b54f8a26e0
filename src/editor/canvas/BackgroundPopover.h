#pragma once

#include <QAbstractButton>
#include <QColorDialog>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <optional>

namespace zova {

class EditorController;
class PillButton;
class TextLine;

// The swatch that opens the colour picker: the colour in a rounded rectangle.
class ColorSwatchButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorSwatchButton(QWidget* parent = nullptr);
    QColor color() const { return m_color; }
    void setColor(const QColor& color);
    QSize sizeHint() const override { return { 44, 28 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color = Qt::white;
};

// The "Background" popover of one step: the colour its video slide is drawn on,
// where that colour comes from, a picker that gives the step a colour of its own,
// "Apply to all steps" and, for a step with its own colour, "Reset". It follows
// the step's and the guide's colour while shown.
class BackgroundPopover : public QWidget {
    Q_OBJECT
public:
    static constexpr int width = 320;

    BackgroundPopover(EditorController* controller, const QUuid& stepId, QWidget* parent = nullptr);
    ~BackgroundPopover() override;

    // "Custom for this step", "From guide default" or "App default".
    static QString sourceText(bool stepHasColor, bool guideHasColor);

    QUuid stepId() const { return m_stepId; }
    ColorSwatchButton* swatch() const { return m_swatch; }
    TextLine* hexLabel() const { return m_hex; }
    TextLine* sourceLabel() const { return m_source; }
    QWidget* overrideBadge() const { return m_badge; }
    PillButton* applyButton() const { return m_apply; }
    PillButton* resetButton() const { return m_reset; }
    // The picker while it is open.
    QColorDialog* colorDialog() const { return m_dialog; }

    // Opens the colour picker on the shown colour; a colour chosen there becomes the step's own.
    void openColorDialog();

private:
    void refresh();
    void follow();

    QPointer<EditorController> m_controller;
    QUuid m_stepId;
    QString m_hexShown;
    ColorSwatchButton* m_swatch = nullptr;
    TextLine* m_hex = nullptr;
    TextLine* m_source = nullptr;
    QWidget* m_badge = nullptr;
    PillButton* m_apply = nullptr;
    PillButton* m_reset = nullptr;
    QPointer<QColorDialog> m_dialog;
};

} // namespace zova
