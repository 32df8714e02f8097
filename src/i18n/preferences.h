#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "link/result.h"

namespace sequaflow::i18n {

inline constexpr std::string_view kLanguagePreferenceFile = "jezyk.txt";
inline constexpr std::string_view kWindowSizePreferenceFile = "rozdz.txt";

enum class PreferenceError { WriteFailed };

// Replaces `file` with exactly one raw byte. Written to a temporary file beside it and renamed into place,
// so a failed write leaves the previous file as it was.
[[nodiscard]] Result<Ok, PreferenceError> WriteSingleBytePreference(const std::filesystem::path& file,
                                                                   std::uint8_t value);

// jezyk.txt in `startDir` with the low byte of the language number.
[[nodiscard]] Result<Ok, PreferenceError> WriteLanguagePreference(const std::filesystem::path& startDir, int number);

// rozdz.txt in `startDir` with 0, 1 or 2. Written, never read.
[[nodiscard]] Result<Ok, PreferenceError> WriteWindowSizePreference(const std::filesystem::path& startDir,
                                                                   int index);

// The language to select at the first activation: 1 when jezyk.txt cannot be opened for reading and
// updating; otherwise its first byte when that is a language number 1..9; nothing for an empty file or any
// other byte (the built-in texts stay and the file is left alone).
[[nodiscard]] std::optional<int> StartupLanguage(const std::filesystem::path& startDir);

struct WindowSize {
    std::string_view menuItem;
    std::string_view caption;
    int width;
    int height;
    int preferenceByte;  // -1: the item has no action
    bool visible;
};

inline constexpr std::array<WindowSize, 4> kWindowSizes{{
    {"N640x4801", "640x480", 640, 480, -1, false},
    {"N800x6001", "800x600", 800, 600, 0, true},
    {"N1024x7681", "1024x768", 1024, 768, 1, true},
    {"N1280x10241", "1280x1024", 1280, 1024, 2, true},
}};

}  // namespace sequaflow::i18n
