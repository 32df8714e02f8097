#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "link/result.h"
#include "sim/controller.h"
#include "sim/fault_injector.h"
#include "sim/sim_truth.h"

namespace sequaflow::sim {

struct PtyServerOptions {
    std::string linkPath;   // made a symbolic link to the terminal when not empty
    bool lineRate = false;  // 57600 baud pacing and command processing time
    std::optional<FaultSpec> faults;
    std::uint32_t faultSeed = 1;
    std::string logPath;    // frame log with timestamps when not empty
    std::string statePath;  // lasting stores are saved here when not empty
};

// Plays the controller on a pseudo-terminal: the program opens the slave path like any serial port.
// Serves on its own thread until stop() or destruction; the controller is only touched on that thread,
// or under the lock of withController().
class PtyServer {
public:
    [[nodiscard]] static Result<std::unique_ptr<PtyServer>, std::string> Start(Controller controller,
                                                                               PtyServerOptions options);
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    const std::string& linkPath() const { return options_.linkPath; }

    // Stops serving, saves the stores, removes the symbolic link. Safe to call twice.
    void stop();
    void withController(const std::function<void(Controller&)>& fn);

    // Problems met while serving (a failed save, a full terminal); empty while all is well.
    std::string lastProblem() const;

    // The controller's values and the faults so far, after serving whatever request is already waiting
    // on the terminal, so a client that has just finished is fully accounted for.
    SimTruth truth();

private:
    PtyServer(Controller controller, PtyServerOptions options);
    Result<Ok, std::string> open();
    Result<Ok, std::string> openTerminal();
    void closeTerminal();
    void run();
    void serveInput(std::chrono::microseconds now);
    void flushOutput(std::chrono::microseconds now);
    void saveState(bool force, std::chrono::microseconds now);
    void log(std::chrono::microseconds at, const char* tag, std::span<const std::uint8_t> bytes, const char* note = "");
    std::chrono::microseconds now() const;
    void problem(std::string text);

    Controller controller_;
    PtyServerOptions options_;
    std::optional<FaultInjector> faults_;
    mutable std::mutex mutex_;
    std::thread thread_;
    int master_ = -1;
    int slaveKeep_ = -1;  // held open so the master never sees a hang-up between clients
    int wake_[2] = {-1, -1};
    std::string slavePath_;
    bool linkMade_ = false;
    std::FILE* log_ = nullptr;
    std::chrono::steady_clock::time_point start_;
    std::string problem_;

    struct Out;
    std::unique_ptr<Out> out_;
    // A vanish fault: the terminal closes at hangUpAt_ and a new one comes up at reopenAt_.
    std::optional<std::chrono::microseconds> hangUpAt_, reopenAt_;
    std::uint64_t hangUps_ = 0;
    bool stateDirty_ = false;
    std::chrono::microseconds lastSave_{0};
    bool stopped_ = false;
};

}  // namespace sequaflow::sim
