#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace sequaflow::params {

// Reads an editor's text as a decimal number held in single precision. Both ',' and '.' are taken as the
// decimal separator (the user may type either, whatever the locale); an optional sign, surrounding blanks and
// an exponent are accepted. Empty text, anything else, or a value beyond single precision gives nullopt.
std::optional<float> ParseDecimal(std::string_view text);

// Reads a whole decimal number with an optional sign (surrounding blanks allowed); nullopt for anything else
// or a value beyond 64 bits.
std::optional<long long> ParseWhole(std::string_view text);

// Writes a decimal text with the separator of the locale in place of whichever one it carries.
std::string WithSeparator(std::string_view text, char decimalSeparator);

}  // namespace sequaflow::params
