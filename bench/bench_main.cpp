// Prints timing figures of the module's hot paths; see harness.h for what a figure is.
#include "figures.h"

int main()
{
    bench::FigureList figures;
    bench::AddMalwareListFigures(figures);
    bench::AddMonitorFigures(figures);
    bench::Run(figures);
    return 0;
}
