// How long a setting or a map edit holds the line: from the call to its last frame, over a real
// pseudo-terminal with the real pacer, against the mandated pauses alone.
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
#include "maps/map_edit.h"
#include "params/parameter_settings.h"

using namespace sequaflow;

namespace {

// A real pseudo-terminal whose far end only drains what is sent (the controller acknowledges no write),
// and a link on the near end with the real pacer.
struct DrainedLine {
    RawPty pty;
    std::atomic<bool> stop{false};
    std::thread peer;
    link::PosixSerialPort port;
    link::RealPacer pacer;
    link::Link link{port, pacer};
    bool ok = false;

    DrainedLine() {
        if (!pty.ok()) return;
        peer = std::thread([this] {
            std::uint8_t buf[256];
            while (!stop) {
                pollfd p{pty.master, POLLIN, 0};
                if (poll(&p, 1, 5) <= 0) continue;
                (void)read(pty.master, buf, sizeof buf);
            }
        });
        link.setPortName(pty.name);
        ok = link.openPort().ok();
    }
    ~DrainedLine() {
        stop = true;
        if (peer.joinable()) peer.join();
    }
};

// Times `operation` per iteration and reports its frames against the mandated pauses.
template <typename Operation>
void TimeOnTheLine(benchmark::State& state, double pausesMs, Operation operation) {
    DrainedLine line;
    if (!line.ok) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    long frames = 0;
    for (auto _ : state) {
        const auto before = line.link.framesSent();
        const auto start = std::chrono::steady_clock::now();
        operation(line.link);
        const auto end = std::chrono::steady_clock::now();
        frames = static_cast<long>(line.link.framesSent() - before);
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
    state.counters["frames"] = benchmark::Counter(static_cast<double>(frames));
    state.counters["pauses_ms"] = benchmark::Counter(pausesMs);
}

void BM_InjectorTypeChoice(benchmark::State& state) {
    params::ProgramState program;
    const auto texts = params::SpeedTextsOf(program);
    TimeOnTheLine(state, 300.0, [&](link::Link& link) {
        (void)params::ApplySetting(link, program, params::Setting::InjectorType, 1, texts, ',');
    });
}
BENCHMARK(BM_InjectorTypeChoice)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

// "+1" over the whole advanced map: 84 cells x (10 + 20 + 20) ms = 4.2 s of mandated pauses.
void BM_WholeMapStep(benchmark::State& state) {
    maps::MapModel model;
    TimeOnTheLine(state, 84 * 50.0, [&](link::Link& link) {
        (void)maps::StepAdvanced(link, model, {1, 1, maps::kColumns, maps::kRows}, 1);
    });
}
BENCHMARK(BM_WholeMapStep)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
