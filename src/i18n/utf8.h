#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Small UTF-8 helpers for texts that are counted in characters, not bytes.
namespace sequaflow::i18n::utf8 {

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
[[nodiscard]] bool isValid(std::string_view bytes);

// Length in bytes of the well-formed sequence starting at `pos`, or 0 when none starts there.
[[nodiscard]] std::size_t sequenceLength(std::string_view bytes, std::size_t pos);

// Number of characters in valid UTF-8 text.
[[nodiscard]] std::size_t countCharacters(std::string_view text);

// The first `maxCharacters` characters of valid UTF-8 text; never cuts a character in half.
[[nodiscard]] std::string_view truncate(std::string_view text, std::size_t maxCharacters);

inline constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace sequaflow::i18n::utf8
