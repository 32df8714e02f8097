#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace sequaflow::live {

inline constexpr std::size_t kLiveWordCount = 32;

// Meaning of the live words the program reads.
namespace word {
inline constexpr int PetrolTime1 = 0;   // 0..5 cylinders 1..6
inline constexpr int GasTime1 = 6;      // 6..11 cylinders 1..6
inline constexpr int ReferenceTime = 12;
inline constexpr int Period = 13;
inline constexpr int ReducerTemp = 14;
inline constexpr int GasTemp = 15;
inline constexpr int FuelState = 16;
inline constexpr int Tank = 17;
inline constexpr int Pressure = 18;
inline constexpr int Lambda2 = 19;
inline constexpr int Lambda1 = 20;
inline constexpr int ErrorsCurrent = 22;
inline constexpr int PetrolTime7 = 23;  // 23, 24 cylinders 7, 8
inline constexpr int GasTime7 = 25;     // 25, 26 cylinders 7, 8
inline constexpr int ErrorsStored = 27;
inline constexpr int TestMask = 28;
inline constexpr int InjectorFaults = 31;
}  // namespace word

using LiveWords = std::array<std::uint32_t, kLiveWordCount>;

// Live word index of the petrol and gas injection time of cylinder 0..7.
int PetrolTimeWord(int cylinder);
int GasTimeWord(int cylinder);

// Accepts a 67-byte live frame (complete, 'V', ':', checksum of the 64 data bytes) and only then replaces
// all 32 words; otherwise the words stay as they were.
bool DecodeLiveFrame(std::span<const std::uint8_t> reply, bool replyComplete, LiveWords& words);

// The frame the controller sends for these words; the simulator and tests build frames with it.
std::array<std::uint8_t, 67> EncodeLiveFrame(const LiveWords& words);

}  // namespace sequaflow::live
