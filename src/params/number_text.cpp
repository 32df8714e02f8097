#include "params/number_text.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace sequaflow::params {
namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::optional<float> ParseDecimal(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;

    // Normalise into a strict form: [-]digits[.digits][e[-]digits]; anything outside it is not a number.
    std::string s;
    std::size_t i = 0;
    if (text[i] == '+' || text[i] == '-') {
        if (text[i] == '-') s += '-';
        ++i;
    }
    bool digits = false;
    while (i < text.size() && IsDigit(text[i])) {
        s += text[i++];
        digits = true;
    }
    if (i < text.size() && (text[i] == ',' || text[i] == '.')) {
        s += '.';
        ++i;
        while (i < text.size() && IsDigit(text[i])) {
            s += text[i++];
            digits = true;
        }
    }
    if (!digits) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        s += 'e';
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) s += text[i++];
        bool expDigits = false;
        while (i < text.size() && IsDigit(text[i])) {
            s += text[i++];
            expDigits = true;
        }
        if (!expDigits) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;

    double value = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    if (!std::isfinite(value) || std::fabs(value) > 3.4e38) return std::nullopt;
    return static_cast<float>(value);
}

std::optional<long long> ParseWhole(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string WithSeparator(std::string_view text, char decimalSeparator) {
    std::string out(text);
    for (char& c : out)
        if (c == ',' || c == '.') c = decimalSeparator;
    return out;
}

}  // namespace sequaflow::params
