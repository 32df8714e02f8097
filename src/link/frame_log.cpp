#include "link/frame_log.h"

#include <cstdio>

#include "link/frame_description.h"

namespace sequaflow::link {
namespace {
void Hex(std::ostream& out, std::span<const std::uint8_t> bytes) {
    char b[4];
    for (const auto byte : bytes) {
        std::snprintf(b, sizeof b, " %02X", byte);
        out << b;
    }
}
}  // namespace

void FrameLog::stamp(std::chrono::microseconds at) {
    if (!timestamps_) return;
    if (start_.count() < 0) start_ = at;
    char b[32];
    std::snprintf(b, sizeof b, "%10.3f ", static_cast<double>((at - start_).count()) / 1000.0);
    out_ << b;
}

void FrameLog::onSend(std::chrono::microseconds at, const Frame& frame) {
    stamp(at);
    out_ << "send";
    Hex(out_, frame);
    out_ << "  " << DescribeFrame(frame) << '\n';
}

void FrameLog::onReceive(std::chrono::microseconds at, std::uint32_t expected, std::uint32_t received, bool complete,
                         std::span<const std::uint8_t> bytes) {
    stamp(at);
    out_ << "recv " << received << '/' << expected << (complete ? " ok" : " incomplete");
    Hex(out_, bytes);
    out_ << '\n';
}

void FrameLog::onPause(std::chrono::microseconds at, int ms) {
    stamp(at);
    out_ << "pause " << ms << '\n';
}

void FrameLog::onPortEvent(std::chrono::microseconds at, const std::string& what) {
    stamp(at);
    out_ << "port " << what << '\n';
}

}  // namespace sequaflow::link
