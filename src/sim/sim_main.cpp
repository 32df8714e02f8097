// sequaflow-sim: a simulated controller on a pseudo-terminal.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "sim/controller.h"
#include "sim/pty_server.h"
#include "sim/sim_options.h"
#include "sim/state_file.h"

using namespace sequaflow::sim;

int main(int argc, char** argv) {
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
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    auto server = PtyServer::Start(std::move(controller), o.server);
    if (!server) {
        std::fprintf(stderr, "sequaflow-sim: %s\n", server.error().detail.c_str());
        return 1;
    }
    std::printf("%s\n", (*server)->slavePath().c_str());
    std::fflush(stdout);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    (*server)->stop();
    const std::string problem = (*server)->lastProblem();
    if (!problem.empty()) std::fprintf(stderr, "sequaflow-sim: %s\n", problem.c_str());
    return 0;
}
