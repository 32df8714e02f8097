#include "support/scripted_port.h"

namespace sequaflow::testing_support {

void ScriptedPort::deliver(std::vector<std::uint8_t> bytes, std::chrono::microseconds delay) {
    pending_.push_back({pacer_.now() + delay, std::move(bytes)});
}

std::size_t ScriptedPort::pendingBytes() const {
    std::size_t n = ready_.size();
    for (const auto& c : pending_) n += c.bytes.size();
    return n;
}

Result<Ok, link::PortErrorCode> ScriptedPort::open(const std::string& path) {
    ++openCount_;
    openedPaths_.push_back(path);
    if (openError_) {
        auto e = *openError_;
        openError_.reset();
        return e;
    }
    open_ = true;
    lost_ = false;
    return Ok{};
}

bool ScriptedPort::setRts(bool raised) {
    rts_ = raised;
    return open_;
}

bool ScriptedPort::write(std::span<const std::uint8_t> bytes) {
    if (!open_ || lost_) return false;
    link::Frame f{};
    for (std::size_t i = 0; i < f.size() && i < bytes.size(); ++i) f[i] = bytes[i];
    written_.push_back(f);
    if (responder_) responder_(*this, f);
    return true;
}

void ScriptedPort::promote() {
    const auto now = pacer_.now();
    while (!pending_.empty() && pending_.front().at <= now) {
        ready_.insert(ready_.end(), pending_.front().bytes.begin(), pending_.front().bytes.end());
        pending_.pop_front();
    }
}

std::optional<std::size_t> ScriptedPort::queued() {
    if (!open_ || lost_) return std::nullopt;
    promote();
    return ready_.size();
}

std::size_t ScriptedPort::read(std::span<std::uint8_t> dest) {
    if (!open_ || lost_) return 0;
    promote();
    std::size_t n = 0;
    while (n < dest.size() && !ready_.empty()) {
        dest[n++] = ready_.front();
        ready_.pop_front();
    }
    return n;
}

std::optional<link::PortError> ScriptedPort::failure() const {
    if (lost_) return link::PortError{link::PortErrorCode::Lost, "device unplugged"};
    return std::nullopt;
}

std::vector<std::uint8_t> WordReply(char letter, std::uint8_t index, std::uint16_t value) {
    const auto hi = static_cast<std::uint8_t>(value >> 8);
    const auto lo = static_cast<std::uint8_t>(value & 0xFF);
    return {static_cast<std::uint8_t>(letter), index, hi, lo, static_cast<std::uint8_t>(letter + index + hi + lo), ':'};
}

}  // namespace sequaflow::testing_support
