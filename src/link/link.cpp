#include "link/link.h"

#include <algorithm>

namespace sequaflow::link {

Frame BuildFrame(std::uint8_t code, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    const auto sum = static_cast<std::uint8_t>(code + a + b + c);
    return Frame{code, a, b, c, sum, kTerminator};
}

Result<Ok, PortErrorCode> Link::openPort() {
    connected_ = false;
    lost_.reset();
    auto opened = port_.open(portName_);
    portOpen_ = opened.ok();
    if (observer_) {
        observer_->onPortEvent(pacer_.now(), opened.ok() ? "open " + portName_
                                                         : "open failed " + portName_ + ": " + opened.error().detail);
    }
    return opened;
}

bool Link::closePort() {
    const bool held = port_.isOpen();
    if (held) port_.close();
    portOpen_ = false;
    connected_ = false;
    if (held && observer_) observer_->onPortEvent(pacer_.now(), "close " + portName_);
    return held;
}

void Link::handleDeviceFailure() {
    lost_ = port_.failure().value_or(PortError{PortErrorCode::Lost, "the device stopped responding"});
    if (observer_) observer_->onPortEvent(pacer_.now(), "lost " + portName_ + ": " + lost_->detail);
    port_.close();
    portOpen_ = false;
    connected_ = false;
}

void Link::sendFrame(std::uint8_t code, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
    frame_ = BuildFrame(code, a, b, c);
    if (observer_) observer_->onSend(pacer_.now(), frame_);
    if (!portOpen_) return;
    // Half duplex: RTS up while we talk, down once the bytes have physically left.
    if (!port_.drain()) return handleDeviceFailure();
    port_.setRts(true);
    if (!port_.write(frame_)) {
        if (port_.failure()) handleDeviceFailure();
        return;
    }
    ++framesSent_;
    if (!port_.drain()) return handleDeviceFailure();
    port_.setRts(false);
}

std::size_t Link::readQueued(std::span<std::uint8_t> dest) {
    if (!portOpen_ || dest.empty()) return 0;
    const auto queued = port_.queued();
    if (!queued) {
        handleDeviceFailure();
        return 0;
    }
    if (*queued == 0) return 0;
    const std::size_t n = port_.read(dest.first(std::min(*queued, dest.size())));
    if (n == 0 && port_.failure()) handleDeviceFailure();
    return n;
}

void Link::discardStaleInput() { (void)readQueued(scratch_); }

std::uint32_t Link::receiveWait(std::uint32_t expected) {
    receivedCount_ = 0;
    replyComplete_ = false;
    pollCounter_ = 0;
    lastReadCount_ = 0;
    std::size_t appended = 0;  // every byte put into the reply buffer, for the frame log
    // Nothing can arrive on a closed or lost port: polling it would only freeze the caller.
    while (pollCounter_ <= 20 && portOpen_) {
        receivedCount_ += lastReadCount_;
        pacer_.pause(kPollMs);
        ++pollCounter_;
        lastReadCount_ = static_cast<std::uint32_t>(readQueued(scratch_));
        // Bytes that would not fit the reply buffer are dropped; no reply the program asks for is that long.
        if (receivedCount_ < reply_.size()) {
            const std::size_t room = reply_.size() - receivedCount_;
            const std::size_t n = std::min<std::size_t>(lastReadCount_, room);
            std::copy_n(scratch_.begin(), n, reply_.begin() + receivedCount_);
            appended = std::max(appended, receivedCount_ + n);
        }
        if (receivedCount_ >= expected) {
            pollCounter_ = kReceivePolls;
            replyComplete_ = true;
        }
    }
    if (observer_) {
        observer_->onReceive(pacer_.now(), expected, receivedCount_, replyComplete_,
                             std::span<const std::uint8_t>(reply_.data(), appended));
    }
    return receivedCount_;
}

void Link::pause(int ms) {
    if (observer_) observer_->onPause(pacer_.now(), ms);
    pacer_.pause(ms);
}

bool Link::replyValid(char letter, std::size_t lastOffset, std::optional<std::uint8_t> indexEcho) const {
    if (!replyComplete_ || reply(0) != static_cast<std::uint8_t>(letter) || reply(lastOffset) != kTerminator)
        return false;
    return !indexEcho || reply(1) == *indexEcho;
}

bool Link::replySumValid(std::size_t lastOffset) const {
    if (lastOffset < 2 || lastOffset > reply_.size()) return false;
    std::uint8_t data = 0;  // the bytes after the letter
    for (std::size_t i = 1; i + 1 < lastOffset; ++i) data = static_cast<std::uint8_t>(data + reply_[i]);
    const std::uint8_t sum = reply_[lastOffset - 1];
    return sum == data || sum == static_cast<std::uint8_t>(data + reply_[0]);
}

}  // namespace sequaflow::link
