#include "cli/setting_output.h"

#include <ostream>
#include <string>

#include "params/config_compare.h"

namespace sequaflow::cli {

std::vector<params::ShownSetting> ShowAllSettings(const params::ProgramState& state) {
    const auto texts = params::SpeedTextsOf(state);
    std::vector<params::ShownSetting> all;
    for (const auto& key : params::SettingKeys()) all.push_back(params::ShowSetting(state, key, texts));
    return all;
}

void PrintSettingLine(std::ostream& out, const params::ShownSetting& shown) {
    const auto& key = *shown.key;
    std::string line = key.number >= 0 ? std::to_string(key.number) : "-";
    line.insert(0, line.size() < 2 ? 2 - line.size() : 0, ' ');
    line += "  " + std::string(key.key);
    const std::string raw = shown.raw ? std::to_string(*shown.raw) : "-";
    const std::size_t rawEnd = 42;
    line.append(line.size() + raw.size() < rawEnd ? rawEnd - line.size() - raw.size() : 1, ' ');
    line += raw + "  ";
    if (key.kind == params::KeyKind::List) line += "[" + (shown.index ? std::to_string(*shown.index) : "-") + "] ";
    line += shown.text.value_or("-");
    out << line << '\n';
}

void PrintJsonString(std::ostream& out, std::string_view text) { params::PrintJsonText(out, text); }

void PrintSettingJson(std::ostream& out, const params::ShownSetting& shown) {
    const auto& key = *shown.key;
    out << "{\"number\":";
    if (key.number >= 0) out << key.number;
    else out << "null";
    out << ",\"key\":";
    PrintJsonString(out, key.key);
    out << ",\"raw\":";
    if (shown.raw) out << *shown.raw;
    else out << "null";
    out << ",\"text\":";
    if (shown.text) PrintJsonString(out, *shown.text);
    else out << "null";
    if (key.kind == params::KeyKind::List) {
        out << ",\"index\":";
        if (shown.index) out << *shown.index;
        else out << "null";
    }
    out << '}';
}

void PrintSettingsJson(std::ostream& out, std::span<const params::ShownSetting> settings) {
    out << '[';
    for (std::size_t i = 0; i < settings.size(); ++i) {
        if (i) out << ',';
        PrintSettingJson(out, settings[i]);
    }
    out << ']';
}

}  // namespace sequaflow::cli
