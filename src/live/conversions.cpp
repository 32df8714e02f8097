#include "live/conversions.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace sequaflow::live {
namespace {

using ext = long double;  // the 80-bit extended precision the values were always computed in

constexpr ext kSlowTick = 4.340277777777778e-06L;   // 1 / 230400
constexpr ext kFastTick = 5.425347222222222e-07L;   // 1 / 1843200
constexpr ext kInv4095 = 0.0002442002442002442L;

std::int32_t TruncateToInt(ext v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<ext>(std::numeric_limits<std::int32_t>::max())) return std::numeric_limits<std::int32_t>::max();
    if (v <= static_cast<ext>(std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(v);
}

}  // namespace

float TicksToMs(std::uint32_t ticks, bool fastClock) {
    return static_cast<float>(static_cast<ext>(ticks) * (fastClock ? kFastTick : kSlowTick) * 1000.0L);
}

float SignedTicksToMs(std::int32_t ticks, bool fastClock) {
    return static_cast<float>(static_cast<ext>(ticks) * (fastClock ? kFastTick : kSlowTick) * 1000.0L);
}

std::int32_t MsToTicks(float ms, bool fastClock) {
    const ext clock = fastClock ? kFastClockHz : kSlowClockHz;
    // Divided, not multiplied by 0.001L: that constant lies just below a thousandth, so a time that is a
    // whole number of ticks (15 ms = 3456) would lose one.
    return TruncateToInt(clock * static_cast<ext>(ms) / 1000.0L);
}

float RawToBar(std::uint32_t raw) {
    return static_cast<float>((static_cast<ext>(raw) * 0.00122L + 0.202L) * 0.7441583568983479L);
}

std::int32_t BarToRaw(float bar) {
    return TruncateToInt((static_cast<ext>(bar) * 1.3438L - 0.202L) * 819.672131147541L);
}

std::uint32_t PeriodToRpm(std::uint32_t period, int ignitionType) {
    float t = static_cast<float>(static_cast<ext>(period) * kSlowTick);
    if (t == 0.0f) t = 1e-07f;
    if (period >= 65500) return 0;
    const ext inv = 1.0L / static_cast<ext>(t);
    ext f = 0;
    switch (ignitionType) {
        case 0: f = inv * 60 * 8 * 0.25L; break;
        case 1: f = inv * 60 * 4 * 0.25L; break;
        case 2: f = inv * 60 * 2 * 0.25L; break;
        case 3: f = std::ceil(inv * 60 * 2 * 0.2L); break;
        case 4: f = inv * 60 * 2 * (1.0L / 6); break;
        case 5: f = inv * 60 * 2 * 0.125L; break;
        case 6: f = inv * 60 * 2 * (1.0L / 3); break;
        default: return 0;
    }
    const float stored = static_cast<float>(f);
    // The single-precision period puts an exact speed a hair below its whole number (600 rpm on "6 Cyl."
    // came out as 599.99994, shown as 550); a thousandth of an rpm never moves a true value across a step.
    const auto whole = static_cast<std::uint32_t>(TruncateToInt(stored < 0 ? 0 : static_cast<ext>(stored) + 0.001L));
    return whole / 50 * 50;
}

std::int32_t RpmToPeriod(std::uint32_t rpm, int ignitionType) {
    const std::uint32_t b = rpm / 50 * 50;
    if (b == 0) return 0;  // would divide by zero
    const float c = static_cast<float>(static_cast<ext>(b) / 60.0L);
    ext k = 0;
    switch (ignitionType) {
        case 0: k = 4 * 0.125L; break;
        case 1: k = 4 * 0.25L; break;
        case 2: k = 4 * 0.5L; break;
        case 3: k = 5 * 0.5L; break;
        case 4: k = 6 * 0.5L; break;
        case 5: k = 8 * 0.5L; break;
        case 6: k = 3 * 0.5L; break;
        default: return 0;
    }
    return TruncateToInt((1.0L / (static_cast<ext>(c) * k)) * 230400.0L);
}

float LambdaVolts(std::uint32_t raw) { return static_cast<float>(static_cast<ext>(raw) * 5 * kInv4095); }

float TankVolts(std::uint32_t raw) { return static_cast<float>(static_cast<ext>(raw) * 0.0012L); }

std::int32_t RawToCelsius(std::uint32_t word) {
    const auto w = static_cast<std::int32_t>(word & 0xFFFF);
    return (w & 0x8000) ? w - 65536 : w;
}

std::string GasCorrectionText(std::uint32_t gasTicks, std::uint32_t petrolTicks, char decimalSeparator) {
    if (petrolTicks == 0) return "00.0%";
    const float r = static_cast<float>(static_cast<ext>(gasTicks) / static_cast<ext>(petrolTicks) * 100.0L);
    if (r >= 100.0f) return "+" + FormatFixed(static_cast<double>(r) - 100.0, 3, 1, decimalSeparator) + "%";
    return "-" + FormatFixed(100.0 - static_cast<double>(r), 3, 1, decimalSeparator) + "%";
}

std::string FormatFixed(double value, int precision, int decimals, char decimalSeparator) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    precision = precision < 1 ? 1 : (precision > 18 ? 18 : precision);
    decimals = decimals < 0 ? 0 : (decimals > 18 ? 18 : decimals);

    // Decimal digits of the value: 0.D1D2... x 10^exponent, 18 significant digits.
    constexpr int kDigits = 18;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", kDigits - 1, std::fabs(value));
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') digits += *p;
    int exponent = std::atoi(p + 1) + 1;
    const bool negative = std::signbit(value);
    if (value == 0.0) exponent = 0;

    // Round once, at the coarser of the precision and the decimals, half away from zero.
    auto roundTo = [&](int keep) {
        if (keep < 0) {
            digits.clear();
            return;
        }
        const bool up = keep < kDigits && digits[static_cast<std::size_t>(keep)] >= '5';
        digits.resize(static_cast<std::size_t>(keep));
        if (up) {
            int i = keep - 1;
            for (; i >= 0; --i) {
                if (digits[static_cast<std::size_t>(i)] == '9') {
                    digits[static_cast<std::size_t>(i)] = '0';
                } else {
                    ++digits[static_cast<std::size_t>(i)];
                    break;
                }
            }
            if (i < 0) {
                digits.insert(digits.begin(), '1');
                digits.pop_back();
                if (digits.empty()) digits = "1";
                ++exponent;
            }
        }
        while (!digits.empty() && digits.back() == '0') digits.pop_back();
    };

    if (value != 0.0 && exponent > precision) {
        // Too many integer digits for the precision: general scientific form, e.g. "1,23E5".
        roundTo(precision);
        std::string out = negative ? "-" : "";
        out += digits.empty() ? '0' : digits[0];
        if (digits.size() > 1) {
            out += decimalSeparator;
            out.append(digits, 1, std::string::npos);
        }
        return out + "E" + std::to_string(exponent - 1);
    }

    if (value != 0.0) roundTo(std::min(precision, exponent + decimals));
    if (digits.empty()) exponent = 0;
    if (value != 0.0 && exponent > precision) return FormatFixed(std::copysign(std::pow(10.0, exponent - 1), value),
                                                                 precision, decimals, decimalSeparator);

    auto digitAt = [&](int pos) {  // pos 0 = first significant digit
        return pos >= 0 && pos < static_cast<int>(digits.size()) ? digits[static_cast<std::size_t>(pos)] : '0';
    };
    std::string out = (negative && !digits.empty()) ? "-" : "";
    if (exponent <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < exponent; ++i) out += digitAt(i);
    }
    if (decimals > 0) {
        out += decimalSeparator;
        for (int i = 0; i < decimals; ++i) out += digitAt(exponent + i);
    }
    return out;
}

std::string TankVoltsText(std::uint32_t raw) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f V", static_cast<double>(TankVolts(raw)));
    return buf;
}

}  // namespace sequaflow::live
