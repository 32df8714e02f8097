// sequaflow-sim: a simulated controller on a pseudo-terminal.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "params/build_info.h"
#include "sim/controller.h"
#include "sim/engine_driver.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"
#include "sim/sim_truth.h"
#include "sim/state_file.h"

using namespace sequaflow::sim;

namespace {

constexpr std::size_t kLongestLine = 1024;

// Reads driver commands from standard input until it ends or `wakeFd` becomes readable. The end of the
// input only ends the reading: scripts start the simulator with no input at all.
void ReadDriverCommands(PtyServer& server, int wakeFd) {
    std::string line;
    bool skipping = false;  // the rest of an overlong line
    auto take = [&](const std::string& text) {
        auto command = ParseDriverCommand(text);
        if (!command) {
            std::fprintf(stderr, "sequaflow-sim: %s\n", command.error().detail.c_str());
            return;
        }
        if (command->kind == DriverCommand::Kind::Quit) {
            ::kill(::getpid(), SIGTERM);  // main waits for the stop signals
            return;
        }
        server.withController([&](Controller& c) { ApplyDriverCommand(c.engine(), *command); });
    };
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[1].revents != 0) return;
        if (fds[0].revents & POLLNVAL) return;  // no standard input at all
        char buf[256];
        const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (!line.empty() && !skipping) take(line);
            return;
        }
        for (ssize_t i = 0; i < n; ++i) {
            const char c = buf[i];
            if (c == '\n') {
                if (!skipping) take(line);
                line.clear();
                skipping = false;
            } else if (!skipping) {
                line += c;
                if (line.size() > kLongestLine) {
                    std::fprintf(stderr, "sequaflow-sim: a driver command line longer than %zu characters is ignored\n",
                                 kLongestLine);
                    line.clear();
                    skipping = true;
                }
            }
        }
    }
}

// Written whole under a temporary name and renamed, so a reader never sees half of it.
void WriteTruth(PtyServer& server, const std::string& path) {
    if (path.empty()) return;
    const std::string text = FormatSimTruth(server.truth());
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    bool ok = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::fprintf(stderr, "sequaflow-sim: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        std::remove(tmp.c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    // A standard stream started closed is held by /dev/null, so the terminal opened later never takes its
    // number: the driver input would otherwise read the controller's own line.
    for (int fd = 0; fd <= 2; ++fd)
        if (::fcntl(fd, F_GETFD) < 0 && errno == EBADF && ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY) != fd)
            return 2;
    const std::vector<std::string> args(argv + 1, argv + argc);
    auto parsed = ParseSimOptions(args);
    if (!parsed) {
        std::fprintf(stderr, "sequaflow-sim: %s\n", parsed.error().detail.c_str());
        return 2;
    }
    SimOptions& o = *parsed;
    if (o.help) {
        std::fputs(SimUsage(), stdout);
        return 0;
    }
    if (o.version) {
        std::printf("%s\n", sequaflow::params::VersionLine("sequaflow-sim").c_str());
        return 0;
    }

    std::optional<PersistentStores> stores;
    if (!o.server.statePath.empty()) {
        auto loaded = LoadStateFile(o.server.statePath);
        if (loaded) {
            stores = *loaded;
            if (o.controller.blank)
                std::fprintf(stderr, "sequaflow-sim: %s exists; --blank applies only to a new state file\n",
                             o.server.statePath.c_str());
        } else if (loaded.error().code != StateFileError::NotFound) {
            std::fprintf(stderr, "sequaflow-sim: cannot use the state file: %s\n", loaded.error().detail.c_str());
            return 2;
        }
    }
    Controller controller(o.controller, stores);
    if (o.rpm) controller.engine().holdRpm(*o.rpm);
    if (o.reducer) controller.engine().setReducerTemperature(*o.reducer);
    if (!o.server.statePath.empty() && !stores) {
        auto saved = SaveStateFile(o.server.statePath, controller.stores());
        if (!saved) {
            std::fprintf(stderr, "sequaflow-sim: cannot create the state file: %s\n", saved.error().detail.c_str());
            return 2;
        }
    }

    // Block the stop signals before the serving thread starts, so only sigwait below receives them.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    sigaddset(&stopSignals, SIGUSR1);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    auto server = PtyServer::Start(std::move(controller), o.server);
    if (!server) {
        std::fprintf(stderr, "sequaflow-sim: %s\n", server.error().detail.c_str());
        return 1;
    }
    std::printf("%s\n", (*server)->slavePath().c_str());
    std::fflush(stdout);

    int wake[2] = {-1, -1};
    std::thread driver;
    if (::pipe(wake) == 0) driver = std::thread(ReadDriverCommands, std::ref(**server), wake[0]);
    else std::fprintf(stderr, "sequaflow-sim: driver commands are not read: no pipe\n");

    int signal = 0;
    for (;;) {
        sigwait(&stopSignals, &signal);
        if (signal != SIGUSR1) break;
        WriteTruth(**server, o.truthPath);
    }
    if (driver.joinable()) {
        const char stop = 0;
        if (::write(wake[1], &stop, 1) != 1) std::fprintf(stderr, "sequaflow-sim: cannot stop the driver input\n");
        driver.join();
        ::close(wake[0]);
        ::close(wake[1]);
    }
    (*server)->stop();
    WriteTruth(**server, o.truthPath);
    if (o.server.faults && o.server.faults->any())
        std::fprintf(stderr, "sequaflow-sim: faults made: %s\n", FaultCountsText((*server)->truth().faults).c_str());
    const std::string problem = (*server)->lastProblem();
    if (!problem.empty()) std::fprintf(stderr, "sequaflow-sim: %s\n", problem.c_str());
    return 0;
}
