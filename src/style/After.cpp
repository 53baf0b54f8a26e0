#include "style/After.h"

#include <QPointer>
#include <QTimer>

namespace zova {

void after(const Delay& delay, int ms, QObject* context, std::function<void()> step)
{
    if (!delay) {
        QTimer::singleShot(ms, context, std::move(step));
        return;
    }
    delay(ms, [guard = QPointer<QObject>(context), step = std::move(step)] {
        if (guard)
            step();
    });
}

} // namespace zova
