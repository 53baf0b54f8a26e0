#pragma once

#include "base/Delay.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace zova::test {

// A clock the test moves: the waits handed to `delay()` run when the test runs
// them, in the order they fall due (ties in the order they were asked for), each
// at its own time on this clock.
class ManualDelays {
public:
    Delay delay()
    {
        return [state = m_state](int ms, std::function<void()> step) {
            state->pending.push_back({ state->now + ms, state->nextSerial++, std::move(step) });
        };
    }

    long long now() const { return m_state->now; }
    int pending() const { return int(m_state->pending.size()); }
    // The delays asked for and not yet run, soonest first, relative to now.
    std::vector<long long> pendingDelays() const
    {
        std::vector<long long> due;
        for (const auto& wait : sorted())
            due.push_back(wait.due - m_state->now);
        return due;
    }

    // Moves the clock to the next wait that falls due and runs it; false when none waits.
    bool runNext()
    {
        if (m_state->pending.empty())
            return false;
        auto next = std::min_element(m_state->pending.begin(), m_state->pending.end(), earlier);
        Wait wait = std::move(*next);
        m_state->pending.erase(next);
        m_state->now = wait.due;
        wait.step();
        return true;
    }
    // Runs every wait due by `time` (those they ask for included), then sets the clock to it.
    void runUntil(long long time)
    {
        while (!m_state->pending.empty()
            && std::min_element(m_state->pending.begin(), m_state->pending.end(), earlier)->due <= time)
            runNext();
        m_state->now = std::max(m_state->now, time);
    }

private:
    struct Wait {
        long long due;
        long long serial;
        std::function<void()> step;
    };
    struct State {
        long long now = 0;
        long long nextSerial = 0;
        std::vector<Wait> pending;
    };
    static bool earlier(const Wait& a, const Wait& b) { return a.due != b.due ? a.due < b.due : a.serial < b.serial; }
    std::vector<Wait> sorted() const
    {
        std::vector<Wait> copy = m_state->pending;
        std::sort(copy.begin(), copy.end(), earlier);
        return copy;
    }

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace zova::test
