#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sequaflow::link {

inline constexpr int kPortCount = 25;

// The 25 port entries ("COM1".."COM25") and the device each stands for on this machine. The order, the
// wrap from the last entry to the first and the numbering of the menu stay as the controller tool has
// always had them; only the device behind an entry is local.
class PortTable {
public:
    PortTable();

    // Default device of entry index 0..24: COM1..8 -> ttyUSB0..7, COM9..16 -> ttyACM0..7, COM17..25 -> ttyS0..8.
    static std::string DefaultPath(int index);
    // "COM1" .. "COM25".
    static std::string Caption(int index);

    const std::string& path(int index) const { return paths_.at(static_cast<std::size_t>(index)); }
    void setPath(int index, std::string path) { paths_.at(static_cast<std::size_t>(index)) = std::move(path); }

    // Applies "COMn=PATH"; false (and nothing changed) when the text is not of that form with n in 1..25.
    [[nodiscard]] bool applyOverride(std::string_view spec);

private:
    std::array<std::string, kPortCount> paths_;
};

// Parses "COMn", "comn" or "n" into an index 0..24.
std::optional<int> ParsePortNumber(std::string_view text);

}  // namespace sequaflow::link
