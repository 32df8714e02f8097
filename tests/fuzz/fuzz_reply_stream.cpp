// The controller's replies as the line delivers them: each frame sent takes the next reply from the input
// (any bytes, any length, split and late around the receive wait), and the fuzzer chooses which reads run,
// from the single exchanges of the command catalogue to the whole read after a connection. Virtual time
// only. When the input is used up the device is gone, which ends any sequence within a step.
#include <cstdint>
#include <cstdlib>

#include "reply_stream_ops.h"

using namespace sequaflow;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput in(data, size);
    link::VirtualPacer pacer;
    fuzz::FuzzPort port(pacer, in);
    link::Link link(port, pacer);
    link.setPortName("fuzz");
    if (!link.openPort().ok()) std::abort();
    link.setConnected(true);
    params::ProgramState state;
    // Each step sends at least one frame, and each frame takes input, so the loop ends.
    while (link.portOpen() && !in.empty()) fuzz::RunOne(in.byte(), in, link, state);
    return 0;
}
