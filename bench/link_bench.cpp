// Hot paths of the readings tick and the latency of the receive wait over a real pseudo-terminal.
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
#include "link/commands.h"
#include "link/link.h"
#include "link/posix_serial_port.h"
#include "live/conversions.h"
#include "live/live_frame.h"

using namespace sequaflow;

namespace {

live::LiveWords SampleWords() {
    live::LiveWords w{};
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = static_cast<std::uint32_t>(1000 + 37 * i);
    return w;
}

void BM_DecodeLiveFrame(benchmark::State& state) {
    const auto frame = live::EncodeLiveFrame(SampleWords());
    live::LiveWords words{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(live::DecodeLiveFrame(frame, true, words));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_DecodeLiveFrame);

// Everything the readings tick formats for one frame: speed, pressure, 16 injection times, two lambdas.
void BM_FormatReadings(benchmark::State& state) {
    const auto w = SampleWords();
    for (auto _ : state) {
        benchmark::DoNotOptimize(live::PeriodToRpm(w[live::word::Period], 2));
        benchmark::DoNotOptimize(live::FormatFixed(live::RawToBar(w[live::word::Pressure]), 3, 2, ','));
        for (int c = 0; c < 8; ++c) {
            benchmark::DoNotOptimize(live::FormatFixed(live::TicksToMs(w[live::PetrolTimeWord(c)], false), 4, 2, ','));
            benchmark::DoNotOptimize(live::FormatFixed(live::TicksToMs(w[live::GasTimeWord(c)], false), 4, 2, ','));
        }
        benchmark::DoNotOptimize(live::FormatFixed(live::LambdaVolts(w[live::word::Lambda1]), 3, 2, ','));
        benchmark::DoNotOptimize(live::FormatFixed(live::LambdaVolts(w[live::word::Lambda2]), 3, 2, ','));
    }
}
BENCHMARK(BM_FormatReadings);

// A live-frame exchange over a pseudo-terminal whose peer sends the 67-byte reply at the 57600-baud line
// rate (one byte every 173.6 us). Reported time: from the last reply byte leaving the peer to the end of the
// receive wait; counters: the whole exchange.
void BM_ReceiveWaitTailAtLineRate(benchmark::State& state) {
    RawPty pty;
    if (!pty.ok()) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    const int master = pty.master;

    std::atomic<bool> stop{false};
    std::atomic<std::int64_t> lastByteNs{0};
    const auto frame = live::EncodeLiveFrame(SampleWords());
    std::thread peer([&] {
        std::uint8_t buf[64];
        int have = 0;
        while (!stop) {
            pollfd p{master, POLLIN, 0};
            if (poll(&p, 1, 5) <= 0) continue;
            const ssize_t n = read(master, buf, sizeof buf);
            if (n <= 0) continue;
            have += static_cast<int>(n);
            if (have < 6) continue;
            have = 0;
            auto next = std::chrono::steady_clock::now();
            for (std::uint8_t b : frame) {
                next += std::chrono::nanoseconds(173611);
                std::this_thread::sleep_until(next);
                (void)!write(master, &b, 1);
            }
            lastByteNs = std::chrono::steady_clock::now().time_since_epoch().count();
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
    double exchangeSeconds = 0;
    std::int64_t ok = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        link::ReadLiveFrame(link);
        link.receiveWait(link::kLiveFrameSize);
        const auto end = std::chrono::steady_clock::now();
        ok += link.replyComplete();
        exchangeSeconds += std::chrono::duration<double>(end - start).count();
        const auto tail = end.time_since_epoch().count() - lastByteNs.load();
        state.SetIterationTime(static_cast<double>(tail) * 1e-9);
    }
    stop = true;
    peer.join();
    state.counters["exchange_ms"] = benchmark::Counter(exchangeSeconds * 1000.0 / static_cast<double>(state.iterations()));
    state.counters["complete"] = benchmark::Counter(static_cast<double>(ok) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_ReceiveWaitTailAtLineRate)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace
