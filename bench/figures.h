#pragma once
#include "harness.h"

// One function per subject; add a new subject here and call it from main.
namespace bench {
void AddMalwareListFigures(FigureList& figures);
void AddMonitorFigures(FigureList& figures);
void AddStatusFigures(FigureList& figures);
void AddRecheckFigures(FigureList& figures);
void AddLogFigures(FigureList& figures);
void AddLockFigures(FigureList& figures);
} // namespace bench
