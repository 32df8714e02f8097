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
    // A lasting path (a default or a saved setting): the entry is no longer one for this run only.
    void setPath(int index, std::string path) {
        paths_.at(static_cast<std::size_t>(index)) = std::move(path);
        oneRun_.at(static_cast<std::size_t>(index)) = false;
    }
    // A path for this run only (--map, the built-in simulator): nothing chosen on it may be saved.
    void setOneRunPath(int index, std::string path) {
        paths_.at(static_cast<std::size_t>(index)) = std::move(path);
        oneRun_.at(static_cast<std::size_t>(index)) = true;
    }
    bool oneRun(int index) const { return oneRun_.at(static_cast<std::size_t>(index)); }

    // Applies "COMn=PATH" for this run; false (and nothing changed) when the text is not of that form with n
    // in 1..25 or PATH holds a control character (a newline, ...).
    [[nodiscard]] bool applyOverride(std::string_view spec);

private:
    std::array<std::string, kPortCount> paths_;
    std::array<bool, kPortCount> oneRun_{};
};

// Parses "COMn", "comn" or "n" into an index 0..24.
std::optional<int> ParsePortNumber(std::string_view text);

}  // namespace sequaflow::link
