// The simulated controller's request parser and the controller answering every frame it finds, fed any
// byte stream in pieces at fuzzer-chosen times.
#include <chrono>
#include <cstdint>
#include <cstdlib>

#include "fuzz_input.h"
#include "sim/controller.h"
#include "sim/frame_parser.h"

using namespace sequaflow;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    sim::ControllerOptions options;
    const std::uint8_t setup = in.byte();
    options.blank = (setup & 1) != 0;
    options.software = (setup & 2) ? 37 : static_cast<std::uint8_t>(in.byte());
    options.hardware = (setup & 4) ? 0x43 : static_cast<std::uint8_t>(in.byte());
    sim::Controller controller(options);
    sim::FrameParser parser;
    std::chrono::microseconds now{0};
    while (!in.empty()) {
        // A piece of the stream after a gap of 0..255 ms: sometimes past the parser's gap limit.
        now += std::chrono::milliseconds(in.byte());
        const auto piece = in.take(in.byte() % 32);
        std::size_t frames = 0;
        parser.feed(piece, now, [&](const sim::RequestFrame&) { ++frames; });
        if (parser.pending() > 6) std::abort();
        controller.onBytes(piece, now, [&](const sim::Exchange& e) {
            // Nothing the controller answers is longer than a live frame.
            if (e.reply.size() > sim::kLiveFrameBytes) std::abort();
        });
    }
    return 0;
}
