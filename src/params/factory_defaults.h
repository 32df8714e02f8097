#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// Factory content of a controller: what the factory reset stores and what a factory-fresh controller holds.
// Every value is the stored 16-bit pattern (signed parameters as their two's complement), computed at the
// 230400 Hz clock with ignition type 2 ("4 Cyl."), which is the factory ignition setting.
namespace sequaflow::params {

inline constexpr std::size_t kParameterCount = 64;
inline constexpr std::size_t kPointCount = 17;
inline constexpr std::size_t kGridRows = 12;
inline constexpr std::size_t kGridColumns = 7;
inline constexpr std::size_t kAdvancedMapSize = kGridRows * kGridColumns;  // 84, row-major, index 7r + c
inline constexpr std::size_t kStdMapSize = 12;
inline constexpr std::size_t kTempPointCount = 5;
inline constexpr std::size_t kTempCorrCount = 6;
inline constexpr std::size_t kLambdaCount = 12;

inline constexpr std::uint16_t kProgrammedMarker = 43690;  // 0xAAAA
inline constexpr std::uint8_t kMapCellZero = 100;          // a map byte is the percentage + 100
inline constexpr std::uint8_t kDefaultCellByte = 115;      // +15 %

namespace detail {
constexpr std::uint16_t Signed(int v) { return static_cast<std::uint16_t>(v & 0xFFFF); }

// First flags word: injector type 5 in bits 4..7, tank sensor type 2 ("Rezerwa", falling) in bits 8..9.
constexpr std::uint16_t kFlags22 = (5u << 4) | (2u << 8);
// Second flags word: map mode 2 (standard map) in bits 2..3; cut-offs, lambda switches, buzzer all clear.
constexpr std::uint16_t kFlags47 = 2u << 2;
}  // namespace detail

// Parameters 0..63 after a factory reset. Parameters the reset leaves as they were (work-time counters
// 35..38, 55..63) carry the values of a new controller: counters at zero, lambda probe 1 "0 - 1V", probe 2
// disconnected, medium heating strength, standard control, and the measurement filters the program writes
// on its first start (0.05 ms, 1200 rpm, 5 ms).
inline constexpr std::array<std::uint16_t, kParameterCount> kFactoryParameters = {
    kProgrammedMarker,  // 0 programmed marker
    115,                // 1 mixture correction +15 %
    610,                // 2 minimum opening time
    92,                 // 3 idle correction +0.40 ms
    4,                  // 4 common injection cycles
    25,                 // 5 switch-over reducer temperature, C
    540,                // 6 holding current 36 %
    922,                // 7 full-opening time
    7000,               // 8 maximum gas injection time
    0,                  // 9
    300,                // 10
    3850,               // 11
    100,                // 12 turbo boost setting (scroll position 0)
    460,                // 13 gas injection delay 2.0 ms
    11520,              // 14 switch-over speed 600 rpm
    0,                  // 15
    3000,               // 16 valve-to-injection delay 3.00 s
    3850,               // 17
    1100,               // 18 return-to-petrol pressure 1.15 bar
    200,                // 19
    100,                // 20 return-to-petrol delay 1.00 s
    2,                  // 21 ignition "4 Cyl."
    detail::kFlags22,         // 22 first flags word
    1,                  // 23 control algorithm
    1152,               // 24 empty-tank buzzer pressure 1.20 bar
    4096,               // 25
    2550,               // 26
    1850,               // 27
    1040,               // 28
    0,                  // 29
    3980, 3900, 3800, 3366,  // 30..33 tank thresholds of sensor type 2
    1000,               // 34 tank indicator period 10.0 s
    0, 0, 0, 0,         // 35..38 work-time counters of a new controller
    100,                // 39
    2,                  // 40 engine-speed signal filter
    5,                  // 41 injector heating temperature
    20,                 // 42 heating duration
    300,                // 43 heating pulse
    1152,               // 44 speed limit for gas 6000 rpm
    921,                // 45 petrol injection type "4 ms"
    2,                  // 46 pressure display filter "Normalne"
    detail::kFlags47,         // 47 second flags word
    detail::Signed(-20),        // 48 reducer cut-off temperature
    detail::Signed(-20),        // 49 gas cut-off temperature
    50,                 // 50 petrol injector signal filter
    0,                  // 51 extra-correction injectors
    0,                  // 52 extra correction time
    0,                  // 53 speed drop for falling switch-over
    0,                  // 54 third flags word
    1,                  // 55 lambda probe 1 "0 - 1V" (the reset keeps it; a new controller's choice)
    0,                  // 56 lambda probe 2 disconnected
    1,                  // 57 heating strength "Srednie"
    0,                  // 58 control settings "STANDARD"
    11,                 // 59 low-speed filter time step 0.05 ms
    5760,               // 60 low-speed filter speed 1200 rpm
    1152,               // 61 low-speed filter injection time 5 ms
    0, 0,               // 62, 63
};

// Characteristic points: engine speeds 1000..6000 rpm as ignition periods, then injection times
// 1.5, 2, 3, 4.5, 6, 8, 10, 12, 14, 16, 18 ms as ticks.
inline constexpr std::array<std::uint16_t, kPointCount> kDefaultPoints = {
    6912, 3456, 2304, 1728, 1382, 1152,                          // R1..R6
    345,  460,  691,  1036, 1382, 1843, 2304, 2764, 3225, 3686, 4147  // T1..T11
};

namespace detail {
template <std::size_t N>
constexpr std::array<std::uint8_t, N> Filled(std::uint8_t v) {
    std::array<std::uint8_t, N> a{};
    for (auto& x : a) x = v;
    return a;
}
}  // namespace detail

// Every advanced-map cell +15 % (the turbo-free maximum of +50 is above it, so no cell is lowered).
inline constexpr std::array<std::uint8_t, kAdvancedMapSize> kDefaultAdvancedMap =
    detail::Filled<kAdvancedMapSize>(kDefaultCellByte);
// Every standard-map cell +15 %.
inline constexpr std::array<std::uint8_t, kStdMapSize> kDefaultStdMap = detail::Filled<kStdMapSize>(kDefaultCellByte);

// Gas-temperature breakpoints in degrees C (5n + 1) and their enrichments (stored as percent + 100, all 0 %).
inline constexpr std::array<std::uint8_t, kTempPointCount> kDefaultTempPoints = {1, 6, 11, 16, 21};
inline constexpr std::array<std::uint8_t, kTempCorrCount> kDefaultTempCorr = {100, 100, 100, 100, 100, 100};

// Lambda-correction settings: thresholds 0.75 V and 0.4 V (819.2 counts per volt), correction limits,
// rates and durations, load window 2..12 ms (ticks), speed window 2000..5000 rpm (periods, type 2).
inline constexpr std::array<std::uint16_t, kLambdaCount> kDefaultLambda = {
    614, 327, 10100, 10000, 100, 100, 100, 100, 460, 2764, 3456, 1382};

}  // namespace sequaflow::params
