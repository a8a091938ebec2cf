#include "scenario.h"

#include <json/reader.h>

#include <map>
#include <memory>

namespace {

enum class Arg
{
    String,
    Bool,
    StringArray,
    ThreatArray,
};

struct ArgRule
{
    const char* name;
    Arg kind;
    bool required;
};

// Every action the runner knows, with the arguments it reads.
const std::map<std::string, std::vector<ArgRule>>& Actions()
{
    static const std::map<std::string, std::vector<ArgRule>> actions{
        {"create_files", {{"files", Arg::StringArray, true}}},
        {"delete_file", {{"file", Arg::String, true}}},
        {"create_monitor", {}},
        {"init_monitor", {}},
        {"start_monitor", {}},
        {"enable_monitor", {{"enable", Arg::Bool, false}}},
        {"show_saved_list", {}},
        {"register_listener", {}},
        {"on_access",
         {{"object", Arg::String, true}, {"threat", Arg::String, true}, {"filterBypass", Arg::Bool, false},
          {"note", Arg::String, false}}},
        {"full_scan", {{"threats", Arg::ThreatArray, true}}},
        {"start_recheck", {}},
        {"recheck_running", {}},
        {"finish_recheck", {{"threats", Arg::ThreatArray, true}, {"removeTask", Arg::Bool, false}}},
        {"unregister_listener", {}},
        {"stop_monitor", {}},
        {"uninit_monitor", {}},
        {"destroy_monitor", {}},
        {"create_assistant", {}},
        {"init_assistant", {}},
        {"start_session", {}},
        {"show_autologger", {}},
        {"end_session", {}},
        {"cleanup_etl", {}},
        {"uninit_assistant", {}},
        {"destroy_assistant", {}},
        {"check_plugins", {}},
    };
    return actions;
}

bool Fits(const Json::Value& value, Arg kind)
{
    switch (kind)
    {
    case Arg::String: return value.isString();
    case Arg::Bool: return value.isBool();
    case Arg::StringArray:
        if (!value.isArray())
            return false;
        for (const Json::Value& element : value)
            if (!element.isString())
                return false;
        return true;
    case Arg::ThreatArray:
        if (!value.isArray())
            return false;
        for (const Json::Value& element : value)
            if (!element.isObject() || !element["object"].isString() || !element["threat"].isString())
                return false;
        return true;
    }
    return false;
}

const char* KindText(Arg kind)
{
    switch (kind)
    {
    case Arg::String: return "a string";
    case Arg::Bool: return "true or false";
    case Arg::StringArray: return "an array of strings";
    case Arg::ThreatArray: return "an array of {\"object\", \"threat\"}";
    }
    return "?";
}

} // namespace

bool ParseScenario(const std::string& text, Scenario& scenario, std::string& error)
{
    Json::CharReaderBuilder builder;
    std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
    Json::Value root;
    std::string parseErrors;
    if (!reader->parse(text.data(), text.data() + text.size(), &root, &parseErrors))
    {
        error = "not valid JSON: " + parseErrors;
        return false;
    }
    if (!root.isObject() || !root["steps"].isArray() || root["steps"].empty())
    {
        error = "expected an object with a non-empty array \"steps\"";
        return false;
    }
    scenario = Scenario();
    scenario.title = root["title"].isString() ? root["title"].asString() : std::string("scenario");
    for (Json::ArrayIndex i = 0; i < root["steps"].size(); ++i)
    {
        const Json::Value& step = root["steps"][i];
        const std::string where = "step " + std::to_string(i + 1);
        if (!step.isObject() || !step["do"].isString())
        {
            error = where + ": expected an object with a string \"do\"";
            return false;
        }
        const std::string action = step["do"].asString();
        const auto known = Actions().find(action);
        if (known == Actions().end())
        {
            error = where + ": unknown action \"" + action + "\"";
            return false;
        }
        for (const ArgRule& rule : known->second)
        {
            if (!step.isMember(rule.name))
            {
                if (rule.required)
                {
                    error = where + " (" + action + "): missing \"" + rule.name + "\"";
                    return false;
                }
                continue;
            }
            if (!Fits(step[rule.name], rule.kind))
            {
                error = where + " (" + action + "): \"" + rule.name + "\" must be " + KindText(rule.kind);
                return false;
            }
        }
        scenario.steps.push_back(ScenarioStep{action, step});
    }
    return true;
}
