#pragma once
// What a person follows on the console: numbered steps with their result codes, the statuses
// the listener receives, and the facts shown between steps. Safe to call from any thread.
#include <cstdint>
#include <string>
#include <vector>

namespace console_report {

void Heading(const std::string& text);
// One step and its result code; marks it when the code is not the expected one.
void Step(int number, const std::string& what, uint32_t result, uint32_t expected);
// A step without a result code.
void Note(int number, const std::string& what);
// An indented detail line below a step.
void Detail(const std::string& text);
void DetailList(const std::string& title, const std::vector<std::wstring>& items);
void Error(const std::string& text);

std::string Narrow(const std::wstring& text);

} // namespace console_report
