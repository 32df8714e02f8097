#include "link/port_table.h"

#include <charconv>
#include <cctype>

namespace sequaflow::link {

PortTable::PortTable() {
    for (int i = 0; i < kPortCount; ++i) paths_[static_cast<std::size_t>(i)] = DefaultPath(i);
}

std::string PortTable::DefaultPath(int index) {
    if (index < 8) return "/dev/ttyUSB" + std::to_string(index);
    if (index < 16) return "/dev/ttyACM" + std::to_string(index - 8);
    return "/dev/ttyS" + std::to_string(index - 16);
}

std::string PortTable::Caption(int index) { return "COM" + std::to_string(index + 1); }

std::optional<int> ParsePortNumber(std::string_view text) {
    if (text.size() >= 3 && std::toupper(static_cast<unsigned char>(text[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(text[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(text[2])) == 'M')
        text.remove_prefix(3);
    int n = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, n);
    if (text.empty() || ec != std::errc{} || ptr != end || n < 1 || n > kPortCount) return std::nullopt;
    return n - 1;
}

bool PortTable::applyOverride(std::string_view spec) {
    const auto eq = spec.find('=');
    if (eq == std::string_view::npos) return false;
    const auto index = ParsePortNumber(spec.substr(0, eq));
    const auto path = spec.substr(eq + 1);
    if (!index || path.empty()) return false;
    for (const char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
    setOneRunPath(*index, std::string(path));
    return true;
}

}  // namespace sequaflow::link
