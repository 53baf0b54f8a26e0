#pragma once

#include "base/Delay.h"

#include <functional>

class QObject;

namespace zova {

// Runs `step` once, `ms` milliseconds from now, if `context` still lives then:
// through `delay` when one is given, else on a single-shot timer.
void after(const Delay& delay, int ms, QObject* context, std::function<void()> step);

} // namespace zova
