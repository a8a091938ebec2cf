// Prints timing figures of the module's hot paths; see harness.h for what a figure is.
#include "figures.h"

int main()
{
    bench::FigureList figures;
    bench::AddMonitorFigures(figures);
    bench::AddMalwareListFigures(figures);
    bench::Run(figures);
    return 0;
}
