#pragma once

#include <iosfwd>
#include <span>
#include <string_view>
#include <vector>

#include "params/program_state.h"
#include "params/setting_keys.h"

// The parameters and settings under their keys, as `param show` and `read --json` print them.
namespace sequaflow::cli {

// The command line writes numbers with a point whatever the locale.
inline constexpr char kCliDecimalSeparator = '.';

// Every key in the registry's order, as the screens would show the state.
std::vector<params::ShownSetting> ShowAllSettings(const params::ProgramState& state);

// One line: number (or "-"), key, raw word (or "-"), then "[index] text" for a list or the text.
void PrintSettingLine(std::ostream& out, const params::ShownSetting& shown);
// {"number":…,"key":…,"raw":…,"text":…} with "index" for a list; absent values are null.
void PrintSettingJson(std::ostream& out, const params::ShownSetting& shown);
void PrintSettingsJson(std::ostream& out, std::span<const params::ShownSetting> settings);

// A JSON string literal.
void PrintJsonString(std::ostream& out, std::string_view text);

}  // namespace sequaflow::cli
