// How long an injector type choice holds the line: from the call to its last frame, over a real
// pseudo-terminal with the real pacer. The mandated pauses alone are 5 writes x (10 + 30 + 20) ms = 300 ms.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "raw_pty.h"
#include "link/link.h"
#include "link/posix_serial_port.h"
#include "params/parameter_settings.h"

using namespace sequaflow;

namespace {

void BM_InjectorTypeChoice(benchmark::State& state) {
    RawPty pty;
    if (!pty.ok()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const int master = pty.master;

    // The controller acknowledges none of it: the peer only drains what is sent.
    std::atomic<bool> stop{false};
    std::atomic<long> received{0};
    std::thread peer([&] {
        std::uint8_t buf[256];
        while (!stop) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 5) <= 0) continue;
            const ssize_t n = read(master, buf, sizeof buf);
            if (n > 0) received += n;
        }
    });

    link::PosixSerialPort port;
    link::RealPacer pacer;
    link::Link link(port, pacer);
    link.setPortName(pty.name);
    if (!link.openPort().ok()) {
        stop = true;
        peer.join();
        state.SkipWithError("cannot open the pseudo-terminal");
        return;
    }
    params::ProgramState program;
    const auto texts = params::SpeedTextsOf(program);
    long frames = 0;
    for (auto _ : state) {
        const auto before = link.framesSent();
        const auto start = std::chrono::steady_clock::now();
        (void)params::ApplySetting(link, program, params::Setting::InjectorType, 1, texts, ',');
        const auto end = std::chrono::steady_clock::now();
        frames = static_cast<long>(link.framesSent() - before);
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    stop = true;
    peer.join();
    state.counters["frames"] = benchmark::Counter(static_cast<double>(frames));
    state.counters["pauses_ms"] = benchmark::Counter(300.0);
}
BENCHMARK(BM_InjectorTypeChoice)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
