#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace sequaflow::testing_support {

// A small scripted controller on a pseudo-terminal, for tests of the real serial port code: it collects
// six-byte frames written to the slave side and answers each through a callback, from its own thread.
class PtyPeer {
public:
    using Answer = std::function<std::vector<std::uint8_t>(const std::vector<std::uint8_t>& frame)>;

    explicit PtyPeer(Answer answer);
    ~PtyPeer();
    PtyPeer(const PtyPeer&) = delete;
    PtyPeer& operator=(const PtyPeer&) = delete;

    bool ok() const { return master_ >= 0; }
    const std::string& slavePath() const { return slave_; }
    std::vector<std::vector<std::uint8_t>> frames() const;
    // Closes the master side: the slave sees a hang-up, as with an unplugged adapter.
    void hangUp();

private:
    void run();

    Answer answer_;
    int master_ = -1;
    std::string slave_;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> frames_;
    std::thread thread_;
};

}  // namespace sequaflow::testing_support
