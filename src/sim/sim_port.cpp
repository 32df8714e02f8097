#include "sim/sim_port.h"

#include <algorithm>

namespace sequaflow::sim {

Result<Ok, link::PortErrorCode> SimPort::open(const std::string& path) {
    if (openError_) return link::PortError{*openError_, path + ": " + link::PortErrorName(*openError_)};
    path_ = path;
    open_ = true;
    unplugged_ = false;
    vanishAt_.reset();
    failure_.reset();
    input_.clear();
    return Ok{};
}

void SimPort::close() {
    open_ = false;
    input_.clear();
}

bool SimPort::lost() {
    if (vanishAt_ && pacer_.now() >= *vanishAt_) unplugged_ = true;
    if (!unplugged_ || !open_) return false;
    failure_ = link::PortError{link::PortErrorCode::Lost, path_ + ": device disconnected"};
    open_ = false;
    vanishAt_.reset();
    input_.clear();
    return true;
}

bool SimPort::write(std::span<const std::uint8_t> bytes) {
    if (!open_ || lost()) return false;
    if (bytes.empty()) return true;
    ++writes_;
    // The request itself spends six byte times on the line before the controller has it.
    const auto now = pacer_.now();
    const auto arrival = timing_.byteDone(now, bytes.size() - 1);
    controller_.onBytes(bytes, now, [&](const Exchange& e) {
        std::vector<Delivery> deliveries;
        if (faults_) deliveries = faults_->apply(e.reply);
        else if (!e.reply.empty()) deliveries.push_back({e.reply, {}});
        auto start = timing_.replyStart(e.frame, timing_.lineRate() ? arrival : now);
        for (const auto& d : deliveries) {
            if (d.hangUp) {
                // The device is gone once the bytes before the hang-up were on their way.
                const auto at = input_.empty() ? start : std::max(start, input_.back().ready);
                if (!vanishAt_ || at < *vanishAt_) vanishAt_ = at;
                continue;
            }
            const auto base = start + d.delay;
            for (std::size_t i = 0; i < d.bytes.size(); ++i) input_.push_back({timing_.byteDone(base, i), d.bytes[i]});
            if (d.delay.count() == 0) start = timing_.byteDone(start, d.bytes.size() - 1);
        }
        // A late delivery may have been queued behind later-ready bytes; keep arrival order by time.
        std::stable_sort(input_.begin(), input_.end(),
                         [](const Pending& x, const Pending& y) { return x.ready < y.ready; });
    });
    return true;
}

std::optional<std::size_t> SimPort::queued() {
    if (lost()) return std::nullopt;
    if (!open_) return 0;
    const auto now = pacer_.now();
    std::size_t n = 0;
    while (n < input_.size() && input_[n].ready <= now) ++n;
    return n;
}

std::size_t SimPort::read(std::span<std::uint8_t> dest) {
    const auto avail = queued();
    if (!avail) return 0;
    const std::size_t n = std::min(*avail, dest.size());
    for (std::size_t i = 0; i < n; ++i) {
        dest[i] = input_.front().byte;
        input_.pop_front();
    }
    return n;
}

}  // namespace sequaflow::sim
