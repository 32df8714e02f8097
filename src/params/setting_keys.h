#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "link/link.h"
#include "params/parameter_settings.h"
#include "params/program_state.h"

// Every parameter and every list or flag setting under a stable English key, for scripts and the command
// line: what its control shows, and the same operation its control runs when it is given a text.
namespace sequaflow::params {

enum class KeyKind : std::uint8_t {
    Editor,     // a numeric editor: its text as the editor shows and takes it
    List,       // a list, a check box or the boost scroll bar: an item index and its text
    Selection,  // the eight injector check boxes of the extra correction (parameter 51)
    Carried,    // no control: the tool only carries the word
};

struct SettingKey {
    std::string_view key;  // snake_case, never renamed
    int number;            // the parameter, or -1 for a setting that is not one parameter
    KeyKind kind;
    Setting setting;       // for KeyKind::List
};

// Parameters 0..63 in order, then the settings that live in bits or span several parameters.
std::span<const SettingKey> SettingKeys();
// By key, or by a parameter number 0..63 written in decimal; nullptr when nothing matches.
const SettingKey* FindSettingKey(std::string_view keyOrNumber);

// The default (Polish) text of a list item; nullopt outside the list (the injector types 6..15, the own
// tank thresholds, no selection).
std::optional<std::string> SettingItemText(Setting setting, int item);
// Number of items SettingItemText names.
int SettingItemTextCount(Setting setting);

// What the key's control shows for the state.
struct ShownSetting {
    const SettingKey* key = nullptr;
    std::optional<std::int32_t> raw;  // the slot (signed parameters signed); none for a setting of bits
    std::optional<std::string> text;  // none: no control shows it, or the list shows no item
    std::optional<int> index;         // lists: the item shown, none when nothing is selected
};
ShownSetting ShowSetting(const ProgramState& state, const SettingKey& key, const SpeedTexts& texts);

// A text checked against what the key's control takes, before anything is read or sent. A list takes a
// whole number as the item index, else the item's text (exact, or ignoring case and surrounding blanks);
// the injector check boxes take eight '0'/'1' characters, CheckBox1 first.
struct SettingInput {
    std::string text;             // editors
    int item = -1;                // lists
    std::uint8_t selection = 0;   // injector check boxes
};
[[nodiscard]] Result<SettingInput, SettingError> ParseSettingText(const SettingKey& key, std::string_view text);

// Whether the operation needs the points as well as the parameter set (the ignition type re-sends the
// engine-speed breakpoints).
bool SettingNeedsMaps(const SettingKey& key);

// Runs the operation the key's control runs with that text: WriteEditor as on leaving the editor (a tank
// threshold saves the four, parameter 52 takes the injector selection with it), ApplySetting for a list, and
// for the injector check boxes ApplyExtraCorrection with the correction time shown. `texts` are what the
// screens show before the change. Nothing is sent for a text ParseSettingText refuses.
[[nodiscard]] SettingResult SetSettingText(link::Link& link, ProgramState& state, const SettingKey& key,
                                           std::string_view text, const SpeedTexts& texts);

}  // namespace sequaflow::params
