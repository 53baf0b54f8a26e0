#include "app/shell/AppPalettes.h"

namespace zova::AppPalettes {

namespace {
QPalette build(QColor window, QColor base, QColor text, QColor button, QColor highlight, QColor mid)
{
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(text.red(), text.green(), text.blue(), 110));
    p.setColor(QPalette::Link, highlight);
    p.setColor(QPalette::Mid, mid);
    p.setColor(QPalette::Dark, mid.darker(130));
    p.setColor(QPalette::Light, button.lighter(120));
    QColor disabled = text;
    disabled.setAlpha(100);
    p.setColor(QPalette::Disabled, QPalette::WindowText, disabled);
    p.setColor(QPalette::Disabled, QPalette::Text, disabled);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    return p;
}
} // namespace

QPalette light()
{
    return build(QColor(0xEC, 0xEC, 0xEC), QColor(0xFF, 0xFF, 0xFF), QColor(0x1D, 0x1D, 0x1F), QColor(0xF6, 0xF6, 0xF6),
        QColor(0x7C, 0x3A, 0xED), QColor(0xC8, 0xC8, 0xCC));
}

QPalette dark()
{
    return build(QColor(0x1E, 0x1E, 0x20), QColor(0x2B, 0x2B, 0x2E), QColor(0xF2, 0xF2, 0xF4), QColor(0x3A, 0x3A, 0x3D),
        QColor(0x9B, 0x6B, 0xF7), QColor(0x4A, 0x4A, 0x4E));
}

} // namespace zova::AppPalettes
