#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <deque>

#include "sim/line_timing.h"
#include "sim/state_file.h"

namespace sequaflow::sim {

struct PtyServer::Out {
    struct Byte {
        std::chrono::microseconds due;
        std::uint8_t value;
    };
    std::deque<Byte> bytes;
    LineTiming timing;
};

namespace {

constexpr std::chrono::microseconds kSaveDebounce{500000};
constexpr std::chrono::microseconds kLineBatch{1000};
// How long a vanished device stays away before its new terminal comes up.
constexpr std::chrono::microseconds kReopenDelay{300000};

std::string Errno(const std::string& what) { return what + ": " + std::strerror(errno); }

}  // namespace

PtyServer::PtyServer(Controller controller, PtyServerOptions options)
    : controller_(std::move(controller)), options_(std::move(options)), out_(std::make_unique<Out>()) {
    out_->timing = LineTiming(options_.lineRate);
    if (options_.faults && options_.faults->any()) faults_.emplace(*options_.faults, options_.faultSeed);
    start_ = std::chrono::steady_clock::now();
}

Result<std::unique_ptr<PtyServer>, std::string> PtyServer::Start(Controller controller, PtyServerOptions options) {
    std::unique_ptr<PtyServer> server(new PtyServer(std::move(controller), std::move(options)));
    auto opened = server->open();
    if (!opened) {
        server->stop();
        return Error<std::string>{"", opened.error().detail};
    }
    server->thread_ = std::thread([s = server.get()] { s->run(); });
    return server;
}

Result<Ok, std::string> PtyServer::open() {
    auto fail = [](std::string text) { return Error<std::string>{"", std::move(text)}; };
    if (::pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) return fail(Errno("cannot create a pipe"));
    if (!options_.logPath.empty()) {
        log_ = std::fopen(options_.logPath.c_str(), "a");
        if (!log_) return fail(Errno("cannot open the log " + options_.logPath));
    }
    return openTerminal();
}

Result<Ok, std::string> PtyServer::openTerminal() {
    auto fail = [](std::string text) { return Error<std::string>{"", std::move(text)}; };
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) return fail(Errno("cannot create a pseudo-terminal"));
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return fail(Errno("cannot unlock the pseudo-terminal"));
    char name[PATH_MAX];
    if (::ptsname_r(master_, name, sizeof name) != 0) return fail(Errno("cannot name the pseudo-terminal"));
    slavePath_ = name;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

    slaveKeep_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slaveKeep_ < 0) return fail(Errno("cannot open " + slavePath_));
    // Raw from the start: no echo of our own replies, no line editing, no CR/LF translation.
    termios tio{};
    if (::tcgetattr(slaveKeep_, &tio) == 0) {
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, B57600);
        ::cfsetospeed(&tio, B57600);
        ::tcsetattr(slaveKeep_, TCSANOW, &tio);
    }
    if (!options_.linkPath.empty()) {
        struct stat st {};
        if (::lstat(options_.linkPath.c_str(), &st) == 0) {
            // Only a link of ours (left by a run that was killed) may be replaced, never a real file.
            if (!S_ISLNK(st.st_mode))
                return fail(options_.linkPath + " exists and is not a symbolic link; not replacing it");
            if (::unlink(options_.linkPath.c_str()) != 0) return fail(Errno("cannot replace " + options_.linkPath));
        }
        if (::symlink(slavePath_.c_str(), options_.linkPath.c_str()) != 0)
            return fail(Errno("cannot create the link " + options_.linkPath));
        linkMade_ = true;
    }
    return Ok{};
}

void PtyServer::closeTerminal() {
    if (linkMade_) {
        // Remove the link only while it still points at our terminal (another run may have taken it over).
        char target[PATH_MAX];
        const auto len = ::readlink(options_.linkPath.c_str(), target, sizeof target - 1);
        if (len >= 0 && std::string(target, static_cast<std::size_t>(len)) == slavePath_)
            ::unlink(options_.linkPath.c_str());
        linkMade_ = false;
    }
    for (int* fd : {&master_, &slaveKeep_})
        if (*fd >= 0) ::close(*fd), *fd = -1;
}

PtyServer::~PtyServer() { stop(); }

void PtyServer::stop() {
    if (thread_.joinable()) {
        const char c = 'q';
        [[maybe_unused]] const auto n = ::write(wake_[1], &c, 1);
        thread_.join();
    }
    if (stopped_) return;
    stopped_ = true;
    closeTerminal();
    for (int* fd : {&wake_[0], &wake_[1]})
        if (*fd >= 0) ::close(*fd), *fd = -1;
    if (log_) std::fclose(log_), log_ = nullptr;
}

void PtyServer::withController(const std::function<void(Controller&)>& fn) {
    std::lock_guard lock(mutex_);
    fn(controller_);
}

std::string PtyServer::lastProblem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

void PtyServer::problem(std::string text) {
    problem_ = std::move(text);
    if (log_) std::fprintf(log_, "%s\n", ("!! " + problem_).c_str()), std::fflush(log_);
}

SimTruth PtyServer::truth() {
    std::lock_guard lock(mutex_);
    if (master_ >= 0 && !hangUpAt_) {
        pollfd p{master_, POLLIN, 0};
        while (::poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) serveInput(now());
    }
    SimTruth t;
    t.running = controller_.running();
    t.stores = controller_.stores();
    if (faults_) {
        t.faults = faults_->counts();
    }
    t.vanished = hangUps_;
    return t;
}

std::chrono::microseconds PtyServer::now() const {
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start_);
}

void PtyServer::log(std::chrono::microseconds at, const char* tag, std::span<const std::uint8_t> bytes,
                    const char* note) {
    if (!log_) return;
    std::fprintf(log_, "%12.6f %s", static_cast<double>(at.count()) / 1e6, tag);
    for (auto b : bytes) std::fprintf(log_, " %02X", b);
    if (*note) std::fprintf(log_, "  %s", note);
    std::fputc('\n', log_);
    std::fflush(log_);
}

void PtyServer::run() {
    for (;;) {
        timespec ts{};
        timespec* timeout = nullptr;
        {
            std::lock_guard lock(mutex_);
            const auto t = now();
            std::optional<std::chrono::microseconds> wake;
            if (!out_->bytes.empty()) wake = out_->bytes.front().due;
            if (stateDirty_) wake = std::min(wake.value_or(lastSave_ + kSaveDebounce), lastSave_ + kSaveDebounce);
            for (const auto& at : {hangUpAt_, reopenAt_})
                if (at) wake = std::min(wake.value_or(*at), *at);
            if (wake) {
                // At line rate the bytes go out in batches of about a millisecond, as a USB adapter hands
                // them over; waking for every single byte would cost more CPU than the client it serves.
                const auto floor = options_.lineRate && !out_->bytes.empty() ? kLineBatch : std::chrono::microseconds{0};
                const auto wait = std::max(*wake - t, floor);
                ts.tv_sec = static_cast<time_t>(wait.count() / 1000000);
                ts.tv_nsec = static_cast<long>(wait.count() % 1000000) * 1000;
                timeout = &ts;
            }
        }
        pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        const int n = ::ppoll(fds, 2, timeout, nullptr);
        if (n < 0 && errno != EINTR) {
            std::lock_guard lock(mutex_);
            problem(Errno("poll failed"));
            break;
        }
        if (fds[1].revents) break;
        std::lock_guard lock(mutex_);
        const auto t = now();
        if (fds[0].revents & POLLIN) serveInput(t);
        else if (fds[0].revents & (POLLHUP | POLLERR)) ::usleep(10000);  // no busy loop on a dead terminal
        if (hangUpAt_ && now() >= *hangUpAt_) {
            flushOutput(*hangUpAt_);
            out_->bytes.clear();
            closeTerminal();
            hangUpAt_.reset();
            ++hangUps_;
            reopenAt_ = now() + kReopenDelay;
            log(now(), "!!", {}, "(fault: the device went away)");
        }
        if (reopenAt_ && now() >= *reopenAt_) {
            reopenAt_.reset();
            if (auto opened = openTerminal(); opened) {
                log(now(), "!!", {}, ("(back on " + slavePath_ + ")").c_str());
            } else {
                closeTerminal();
                problem("the device did not come back: " + opened.error().detail);
                reopenAt_ = now() + kReopenDelay;
            }
        }
        flushOutput(now());
        saveState(false, t);
    }
    std::lock_guard lock(mutex_);
    saveState(true, now());
}

void PtyServer::serveInput(std::chrono::microseconds t) {
    std::uint8_t buf[512];
    const auto got = ::read(master_, buf, sizeof buf);
    if (got <= 0) return;
    if (hangUpAt_) return;  // the device is on its way out: nothing more reaches the controller
    const std::span<const std::uint8_t> bytes(buf, static_cast<std::size_t>(got));
    auto& timing = out_->timing;
    controller_.onBytes(
        bytes, t,
        [&](const Exchange& e) {
            const std::uint8_t frame[6] = {e.frame.code, e.frame.a, e.frame.b, e.frame.c,
                                           static_cast<std::uint8_t>(e.frame.code + e.frame.a + e.frame.b + e.frame.c),
                                           ':'};
            log(t, "rx", frame, e.understood ? "" : "(ignored)");
            std::vector<Delivery> deliveries;
            if (faults_) deliveries = faults_->apply(e.reply);
            else if (!e.reply.empty()) deliveries.push_back({e.reply, {}});
            // On a pseudo-terminal the request arrives at once; at line rate it took six byte times.
            auto start = timing.replyStart(e.frame, timing.byteDone(t, 5));
            for (const auto& d : deliveries) {
                if (d.hangUp) {
                    const auto at = out_->bytes.empty() ? start : std::max(start, out_->bytes.back().due);
                    if (!hangUpAt_ || at < *hangUpAt_) hangUpAt_ = at;
                    continue;
                }
                const char* note = d.bytes != e.reply ? "(fault)" : "";
                if (d.delay.count() != 0) note = "(fault: late)";
                log(t, "tx", d.bytes, note);
                const auto base = start + d.delay;
                for (std::size_t i = 0; i < d.bytes.size(); ++i) {
                    // Byte i is written when its last bit would have left, so the reader sees the line's pace.
                    const auto due = timing.lineRate() ? timing.byteDone(base, i) : base;
                    out_->bytes.push_back({due, d.bytes[i]});
                }
                if (d.delay.count() == 0 && !d.bytes.empty()) start = timing.byteDone(start, d.bytes.size() - 1);
            }
            std::stable_sort(out_->bytes.begin(), out_->bytes.end(),
                             [](const Out::Byte& x, const Out::Byte& y) { return x.due < y.due; });
        },
        [&](std::span<const std::uint8_t> garbage) { log(t, "--", garbage, "(not a frame)"); });
    if (controller_.takeStoresChanged() && !options_.statePath.empty()) stateDirty_ = true;
}

void PtyServer::flushOutput(std::chrono::microseconds t) {
    std::uint8_t buf[512];
    while (!out_->bytes.empty() && out_->bytes.front().due <= t) {
        std::size_t n = 0;
        while (n < sizeof buf && !out_->bytes.empty() && out_->bytes.front().due <= t) {
            buf[n++] = out_->bytes.front().value;
            out_->bytes.pop_front();
        }
        const auto written = ::write(master_, buf, n);
        // A controller's transmitter does not wait for a reader: what does not fit is lost on the line.
        if (written < static_cast<ssize_t>(n))
            problem(written < 0 ? Errno("write to the terminal failed") : "terminal full: reply bytes lost");
    }
}

void PtyServer::saveState(bool force, std::chrono::microseconds t) {
    if (options_.statePath.empty()) return;
    if (controller_.takeStoresChanged()) stateDirty_ = true;
    if (!stateDirty_ || (!force && t - lastSave_ < kSaveDebounce)) return;
    stateDirty_ = false;
    lastSave_ = t;
    auto saved = SaveStateFile(options_.statePath, controller_.stores());
    if (!saved) problem("cannot save the state: " + saved.error().detail);
}

}  // namespace sequaflow::sim
