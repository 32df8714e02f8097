#include "live/live_frame.h"

namespace sequaflow::live {

int PetrolTimeWord(int cylinder) { return cylinder < 6 ? word::PetrolTime1 + cylinder : word::PetrolTime7 + cylinder - 6; }
int GasTimeWord(int cylinder) { return cylinder < 6 ? word::GasTime1 + cylinder : word::GasTime7 + cylinder - 6; }

bool DecodeLiveFrame(std::span<const std::uint8_t> reply, bool replyComplete, LiveWords& words) {
    if (!replyComplete || reply.size() < 67 || reply[0] != 'V' || reply[66] != ':') return false;
    std::uint8_t sum = 0;
    for (std::size_t i = 1; i <= 64; ++i) sum = static_cast<std::uint8_t>(sum + reply[i]);
    if (sum != reply[65]) return false;
    for (std::size_t j = 0; j < kLiveWordCount; ++j)
        words[31 - j] = static_cast<std::uint32_t>(reply[1 + 2 * j] << 8 | reply[2 + 2 * j]);
    return true;
}

std::array<std::uint8_t, 67> EncodeLiveFrame(const LiveWords& words) {
    std::array<std::uint8_t, 67> f{};
    f[0] = 'V';
    std::uint8_t sum = 0;
    for (std::size_t j = 0; j < kLiveWordCount; ++j) {
        const std::uint32_t w = words[31 - j] & 0xFFFF;
        f[1 + 2 * j] = static_cast<std::uint8_t>(w >> 8);
        f[2 + 2 * j] = static_cast<std::uint8_t>(w & 0xFF);
        sum = static_cast<std::uint8_t>(sum + f[1 + 2 * j] + f[2 + 2 * j]);
    }
    f[65] = sum;
    f[66] = ':';
    return f;
}

}  // namespace sequaflow::live
