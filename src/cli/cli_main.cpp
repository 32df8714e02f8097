#include <csignal>
#include <iostream>
#include <unistd.h>

#include "cli/cli.h"

namespace {
volatile std::sig_atomic_t g_interrupted = 0;  // signal handlers can only reach a global
extern "C" void OnSignal(int sig) { g_interrupted = sig; }  // the messages name the signal
}  // namespace

int main(int argc, char** argv) {
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args(argv + 1, argv + argc);
    sequaflow::cli::Context context{std::cout, std::cerr, {}, isatty(STDERR_FILENO) == 1, &g_interrupted};
    const int rc = sequaflow::cli::RunCli(args, context);
    std::cout.flush();
    return rc;
}
