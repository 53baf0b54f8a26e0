#pragma once

#include <functional>

namespace zova {

// Runs `step` once, `ms` milliseconds from now, on the calling thread's event
// loop. Whatever waits takes one so that a test can run its waits by hand; an
// empty one stands for a real single-shot timer.
using Delay = std::function<void(int ms, std::function<void()> step)>;

} // namespace zova
