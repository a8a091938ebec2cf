// The product day the host plays when no scenario file is given. Relative object paths are
// files in the data folder's "files" folder; "=>" separates an archive from its member.
#include "scenario.h"

const char* BuiltInScenarioText()
{
    return R"({
  "title": "built-in product day",
  "steps": [
    {"do": "create_files", "files": ["invoice.exe", "setup.exe", "archive.zip", "late.exe"]},
    {"do": "create_monitor"},
    {"do": "init_monitor"},
    {"do": "show_saved_list"},
    {"do": "start_monitor"},
    {"do": "enable_monitor", "enable": true},
    {"do": "register_listener"},
    {"do": "on_access", "object": "invoice.exe", "threat": "Trojan.Generic.1", "note": "listed"},
    {"do": "on_access", "object": "INVOICE.EXE", "threat": "trojan.generic.1", "note": "same item in other letter case"},
    {"do": "on_access", "object": "setup.exe", "threat": "Yara:SuspiciousPacker", "note": "filtered, even with bypass", "filterBypass": true},
    {"do": "on_access", "object": "archive.zip=>inner\\dropper.exe", "threat": "Worm.Dropper", "note": "archive member"},
    {"do": "full_scan", "threats": [
      {"object": "invoice.exe", "threat": "Trojan.Generic.1"},
      {"object": "archive.zip=>inner\\dropper.exe", "threat": "Worm.Dropper"},
      {"object": "setup.exe", "threat": "Adware.Bundle"}]},
    {"do": "start_recheck"},
    {"do": "recheck_running"},
    {"do": "on_access", "object": "late.exe", "threat": "Backdoor.Late", "note": "cached while the recheck runs"},
    {"do": "finish_recheck", "removeTask": true, "threats": [
      {"object": "invoice.exe", "threat": "Trojan.Generic.1"},
      {"object": "archive.zip=>inner\\dropper.exe", "threat": "Worm.Dropper"},
      {"object": "setup.exe", "threat": "Adware.Bundle"}]},
    {"do": "delete_file", "file": "setup.exe"},
    {"do": "start_recheck"},
    {"do": "recheck_running"},
    {"do": "finish_recheck", "removeTask": true, "threats": [
      {"object": "invoice.exe", "threat": "Trojan.Generic.1"},
      {"object": "archive.zip=>inner\\dropper.exe", "threat": "Worm.Dropper"},
      {"object": "late.exe", "threat": "Backdoor.Late"}]},
    {"do": "create_assistant"},
    {"do": "init_assistant"},
    {"do": "start_session"},
    {"do": "show_autologger"},
    {"do": "end_session"},
    {"do": "cleanup_etl"},
    {"do": "unregister_listener"},
    {"do": "stop_monitor"},
    {"do": "uninit_monitor"},
    {"do": "destroy_monitor"},
    {"do": "uninit_assistant"},
    {"do": "destroy_assistant"},
    {"do": "check_plugins"}
  ]
})";
}
