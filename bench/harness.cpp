#include "harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace bench {

namespace {

std::vector<double> Measure(const std::function<TimedPart()>& setup, size_t repetitions)
{
    std::vector<double> micros;
    micros.reserve(repetitions);
    for (size_t i = 0; i < repetitions; ++i)
    {
        TimedPart timed = setup();
        const auto start = std::chrono::steady_clock::now();
        timed();
        const auto stop = std::chrono::steady_clock::now();
        micros.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
    }
    std::sort(micros.begin(), micros.end());
    return micros;
}

} // namespace

void Run(const FigureList& figures)
{
    std::printf("%-62s %11s %11s %12s %9s %5s\n", "figure", "median us", "fastest us", "literal us", "ratio",
                "runs");
    for (const Figure& figure : figures)
    {
        const std::vector<double> micros = Measure(figure.setup, figure.repetitions);
        const double median = micros[micros.size() / 2];
        std::printf("%-62s %11.2f %11.2f", figure.name.c_str(), median, micros.front());
        if (figure.literal)
        {
            const std::vector<double> literal = Measure(figure.literal, figure.repetitions);
            const double literalMedian = literal[literal.size() / 2];
            std::printf(" %12.2f %8.1fx", literalMedian, median > 0 ? literalMedian / median : 0.0);
        }
        else
        {
            std::printf(" %12s %9s", "-", "-");
        }
        std::printf(" %5zu\n", micros.size());
        std::fflush(stdout);
    }
}

} // namespace bench
