#include "harness.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace bench {

void Run(const FigureList& figures)
{
    std::printf("%-58s %12s %12s %6s\n", "figure", "median us", "fastest us", "runs");
    for (const Figure& figure : figures)
    {
        std::vector<double> micros;
        micros.reserve(figure.repetitions);
        for (size_t i = 0; i < figure.repetitions; ++i)
        {
            TimedPart timed = figure.setup();
            const auto start = std::chrono::steady_clock::now();
            timed();
            const auto stop = std::chrono::steady_clock::now();
            micros.push_back(std::chrono::duration<double, std::micro>(stop - start).count());
        }
        std::sort(micros.begin(), micros.end());
        std::printf("%-58s %12.2f %12.2f %6zu\n", figure.name.c_str(), micros[micros.size() / 2], micros.front(),
                    micros.size());
        std::fflush(stdout);
    }
}

} // namespace bench
