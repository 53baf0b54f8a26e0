#include "app/library/GuideMenu.h"

#include "style/Symbols.h"
#include "style/ZOVAColor.h"

namespace zova {

QMenu* buildGuideMenu(const GuideActions& actions, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    const auto add = [&](const QString& text, const char* symbol, const std::function<void()>& fn) {
        QAction* a = menu->addAction(Symbols::icon(QString::fromLatin1(symbol), ZOVAColor::label()), text);
        a->setProperty("symbol", QString::fromLatin1(symbol));
        QObject::connect(a, &QAction::triggered, menu, [fn] {
            if (fn)
                fn();
        });
        return a;
    };
    add(QStringLiteral("Open"), "doc.text.magnifyingglass", actions.onOpen);
    add(QStringLiteral("Rename\u2026"), "pencil", actions.onRename);
    menu->addSeparator();
    QAction* del = add(QStringLiteral("Delete guide\u2026"), "trash", actions.onDelete);
    del->setProperty("destructive", true);
    return menu;
}

} // namespace zova
