// The live frame as it comes off the line: any bytes, complete or not, must be refused or decoded without
// touching memory outside the reply, and an accepted frame must survive a round trip through the encoder.
#include <cstdint>
#include <cstdlib>

#include "fuzz_input.h"
#include "live/live_frame.h"
#include "live/readings.h"

using namespace sequaflow;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    const bool complete = in.flag();
    const auto reply = in.rest();
    live::LiveWords words{};
    words.fill(0xDEADBEEF);
    const live::LiveWords before = words;
    const bool accepted = live::DecodeLiveFrame(reply, complete, words);
    if (!accepted) {
        if (words != before) std::abort();  // a refused frame must leave the words alone
        return 0;
    }
    const auto again = live::EncodeLiveFrame(words);
    live::LiveWords decoded{};
    if (!live::DecodeLiveFrame(again, true, decoded) || decoded != words) std::abort();
    return 0;
}
