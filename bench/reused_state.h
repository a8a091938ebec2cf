#pragma once
// Setup shared by the repetitions of one figure, for operations that leave their state as they
// found it: built by the first repetition, dropped with the last one, so nothing outlives the
// figure (a live monitor would keep log.dll bound for the figures that follow).
#include <cstddef>
#include <functional>
#include <memory>

#include "harness.h"

namespace bench {

template <typename State>
std::function<TimedPart()> Reused(size_t repetitions, std::function<std::shared_ptr<State>()> build,
                                  std::function<void(State&)> timed)
{
    struct Shared
    {
        std::shared_ptr<State> state;
        size_t handedOut = 0;
    };
    auto shared = std::make_shared<Shared>();
    return [shared, repetitions, build, timed] {
        if (!shared->state)
            shared->state = build();
        std::shared_ptr<State> state = shared->state;
        if (++shared->handedOut == repetitions)
        {
            shared->state.reset();
            shared->handedOut = 0;
        }
        return TimedPart([state, timed] { timed(*state); });
    };
}

} // namespace bench
