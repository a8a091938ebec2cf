#pragma once
// A demo run as data: an ordered list of steps, each an action name with its arguments. The
// built-in run and a scenario file go through the same parser and the same runner.
#include <string>
#include <vector>

#include <json/value.h>

struct ScenarioStep
{
    std::string action;
    Json::Value args; // an object; what each action reads is checked when parsing
};

struct Scenario
{
    std::string title;
    std::vector<ScenarioStep> steps;
};

// Parses and checks a scenario document; on failure returns false with a reason naming the step.
bool ParseScenario(const std::string& text, Scenario& scenario, std::string& error);

// The run that the host performs when no scenario file is given.
const char* BuiltInScenarioText();
