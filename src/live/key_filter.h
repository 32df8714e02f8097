#pragma once

namespace sequaflow::live {

enum class KeyFilter { Decimal, SignedDecimal, Digit, SignedDigit };

inline constexpr char kBackspace = 8;
inline constexpr char kEnter = 13;

// The number-entry rule of the editors: the key to accept (possibly the other decimal separator turned
// into the locale's), or 0 to drop it. Backspace and Enter always pass.
char FilterKey(KeyFilter filter, char key, char localeSeparator, char otherSeparator);

// The locale's decimal separator and the other one of '.' and ','.
inline char OtherSeparator(char localeSeparator) { return localeSeparator == ',' ? '.' : ','; }

}  // namespace sequaflow::live
