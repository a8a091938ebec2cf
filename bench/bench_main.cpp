// Prints timing figures of the module's hot paths; see harness.h for what a figure is.
// An argument keeps only the figures whose name contains it.
#include <algorithm>
#include <string>

#include "figures.h"

int main(int argc, char** argv)
{
    bench::FigureList figures;
    bench::AddMonitorFigures(figures);
    bench::AddMalwareListFigures(figures);
    bench::AddStatusFigures(figures);
    bench::AddRecheckFigures(figures);
    bench::AddLogFigures(figures);
    bench::AddLockFigures(figures);
    if (argc > 1)
    {
        const std::string wanted = argv[1];
        figures.erase(std::remove_if(figures.begin(), figures.end(),
                                     [&wanted](const bench::Figure& figure) {
                                         return figure.name.find(wanted) == std::string::npos;
                                     }),
                      figures.end());
    }
    bench::Run(figures);
    return 0;
}
