#include "support/pty_peer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace sequaflow::testing_support {

PtyPeer::PtyPeer(Answer answer) : answer_(std::move(answer)) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return;
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        ::close(master_);
        master_ = -1;
        return;
    }
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        ::close(master_);
        master_ = -1;
        return;
    }
    slave_ = name;
    // Raw on the master side too, so no byte is translated or echoed.
    termios tio{};
    if (tcgetattr(master_, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(master_, TCSANOW, &tio);
    }
    thread_ = std::thread([this] { run(); });
}

PtyPeer::~PtyPeer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
}

void PtyPeer::hangUp() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

std::vector<std::vector<std::uint8_t>> PtyPeer::frames() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

void PtyPeer::run() {
    std::vector<std::uint8_t> pending;
    while (!stop_) {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, 10) <= 0 || !(p.revents & POLLIN)) continue;
        std::uint8_t buf[256];
        const ssize_t n = ::read(master_, buf, sizeof buf);
        if (n <= 0) continue;
        pending.insert(pending.end(), buf, buf + n);
        while (pending.size() >= 6) {
            std::vector<std::uint8_t> frame(pending.begin(), pending.begin() + 6);
            pending.erase(pending.begin(), pending.begin() + 6);
            {
                std::lock_guard lock(mutex_);
                frames_.push_back(frame);
            }
            const auto reply = answer_ ? answer_(frame) : std::vector<std::uint8_t>{};
            if (!reply.empty()) (void)!::write(master_, reply.data(), reply.size());
        }
    }
}

}  // namespace sequaflow::testing_support
