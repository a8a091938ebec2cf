#pragma once
// Executes a scenario against the real qvmodule.dll and the fake host, reporting every step.
#include <memory>
#include <string>

#include "scenario.h"

class QvModuleLibrary;

struct DemoFolders
{
    std::wstring data;     // settings, log, files and the product folder live here
    std::wstring files;    // where relative object paths point
    std::wstring product;  // the product folder the configuration plug-in names
    std::wstring settings; // the settings store's file
};

// Runs every step; false when a step answered other than expected or a check failed.
bool RunScenario(const Scenario& scenario, const DemoFolders& folders, QvModuleLibrary& module);
