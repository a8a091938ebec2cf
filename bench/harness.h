#pragma once
// A figure is one measured operation. Its setup runs untimed before every repetition and hands
// the timed part back as a callable; the harness prints the median and the fastest repetition.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace bench {

using TimedPart = std::function<void()>;

struct Figure
{
    std::string name;
    std::function<TimedPart()> setup;
    size_t repetitions = 50;
    // The same operation done by the plain algorithm, measured in the same run for the ratio.
    std::function<TimedPart()> literal;
};

// The figures of one subject, appended to the list the program runs.
using FigureList = std::vector<Figure>;

void Run(const FigureList& figures);

} // namespace bench
