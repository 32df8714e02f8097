// Writes the seed corpus of every fuzz target from the project's own encoders and simulated controller:
// fuzz_seed_corpus OUTPUT_DIR (tests/fuzz/corpus). Each seed is a valid input the target then mutates.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <initializer_list>
#include <string>
#include <vector>

#include "i18n/code_page.h"
#include "link/commands.h"
#include "live/live_frame.h"
#include "params/parameter_file.h"
#include "params/read_everything.h"
#include "reply_stream_ops.h"
#include "sim/controller.h"
#include "sim/sim_port.h"

using namespace sequaflow;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

namespace {

fs::path g_out;

void Write(const std::string& target, const std::string& name, const Bytes& bytes) {
    const fs::path dir = g_out / target;
    fs::create_directories(dir);
    std::ofstream f(dir / name, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A port in front of the simulated controller that notes each reply in the reply-stream layout: a header
// of 0x80 (at once), the length, the bytes.
class RecordingPort final : public link::SerialPort {
public:
    RecordingPort(sim::Controller& controller, const link::Pacer& pacer, Bytes& record)
        : controller_(controller), pacer_(pacer), record_(record) {}
    Result<Ok, link::PortErrorCode> open(const std::string&) override {
        open_ = true;
        return Ok{};
    }
    void close() override { open_ = false; }
    bool isOpen() const override { return open_; }
    bool setRts(bool) override { return open_; }
    bool drain() override { return open_; }
    bool write(std::span<const std::uint8_t> bytes) override {
        const auto reply = controller_.onBytes(bytes, pacer_.now());
        record_.push_back(0x80);
        record_.push_back(static_cast<std::uint8_t>(reply.size()));
        record_.insert(record_.end(), reply.begin(), reply.end());
        ready_.insert(ready_.end(), reply.begin(), reply.end());
        return true;
    }
    std::optional<std::size_t> queued() override { return ready_.size(); }
    std::size_t read(std::span<std::uint8_t> dest) override {
        std::size_t n = 0;
        while (n < dest.size() && !ready_.empty()) {
            dest[n++] = ready_.front();
            ready_.erase(ready_.begin());
        }
        return n;
    }
    std::optional<link::PortError> failure() const override { return std::nullopt; }

private:
    sim::Controller& controller_;
    const link::Pacer& pacer_;
    Bytes& record_;
    Bytes ready_;
    bool open_ = false;
};

// One reply-stream seed: the operation byte, its arguments, then the simulator's replies to what it sent.
Bytes ReplySeed(std::uint8_t op, const Bytes& args) {
    sim::Controller controller(sim::ControllerOptions{});
    link::VirtualPacer pacer;
    Bytes seed{op};
    seed.insert(seed.end(), args.begin(), args.end());
    RecordingPort port(controller, pacer, seed);
    link::Link link(port, pacer);
    link.setPortName("seed");
    (void)link.openPort();
    link.setConnected(true);
    params::ProgramState state;
    fuzz::FuzzInput in(args.data(), args.size());
    fuzz::RunOne(op, in, link, state);
    return seed;
}

Bytes FrameBytes(std::uint8_t code, std::uint8_t a = 0, std::uint8_t b = 0, std::uint8_t c = 0) {
    const auto f = link::BuildFrame(code, a, b, c);
    return Bytes(f.begin(), f.end());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_seed_corpus OUTPUT_DIR\n";
        return 2;
    }
    g_out = argv[1];

    // Live frames: a quiet engine and one with every word set.
    live::LiveWords words{};
    auto frame = live::EncodeLiveFrame(words);
    Bytes seed{1};
    seed.insert(seed.end(), frame.begin(), frame.end());
    Write("live_frame", "zero_words", seed);
    for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint32_t>(i * 997 + 300);
    frame = live::EncodeLiveFrame(words);
    seed.assign(1, 1);
    seed.insert(seed.end(), frame.begin(), frame.end());
    Write("live_frame", "running", seed);

    // Parameter files saved from the simulator, fresh and blank, read as a connection reads.
    for (const bool blank : {false, true}) {
        sim::ControllerOptions options;
        options.blank = blank;
        sim::Controller controller(options);
        link::VirtualPacer pacer;
        sim::SimPort port(controller, pacer);
        link::Link link(port, pacer);
        link.setPortName("seed");
        (void)link.openPort();
        link.setConnected(true);
        params::ProgramState state;
        params::ReadEverythingHooks hooks;
        hooks.offerFactoryReset = [] { return false; };
        (void)params::ReadEverything(link, state, hooks);
        const auto file = params::EncodeParameterFile(state.image, state.maps);
        Write("parameter_file", blank ? "blank_controller.par" : "simulator.par", Bytes(file.begin(), file.end()));
    }

    // Language files: the first byte picks the code page, as in the target.
    struct Language {
        std::uint8_t page;
        i18n::CodePage codePage;
        const char* name;
        const char* text;
    };
    const Language languages[] = {
        {0, i18n::CodePage::Utf8, "utf8", "\xEF\xBB\xBF# comment\r\n10001 Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 g\xC4\x99\xC5\x9Bl\xC4\x85\r\n10002 \xE2\x82\xAC 5\n"},
        {1, i18n::CodePage::Windows1250, "cp1250", "# komentarz\n10001 Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87 g\xC4\x99\xC5\x9Bl\xC4\x85 ja\xC5\xBA\xC5\x84\n16040=Kopia\n"},
        {2, i18n::CodePage::Windows1251, "cp1251", "10001 \xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\r\n10002 \xD0\x93\xD0\xB0\xD0\xB7\n"},
        {3, i18n::CodePage::Windows1254, "cp1254", "10001 I\xC5\x9F\xC4\xB1k \xC4\x9F\xC3\xBC\xC3\xA7\n#\n10002 Benzin\n"},
        {4, i18n::CodePage::Windows1257, "cp1257", "10001 \xC4\x84\xC4\x8D\xC4\x99 \xC5\xBE\xC5\xABr\n10002 Dujos\n"},
    };
    for (const auto& l : languages) {
        Bytes bytes{l.page};
        if (l.codePage == i18n::CodePage::Utf8) {
            const std::string_view t(l.text);
            bytes.insert(bytes.end(), t.begin(), t.end());
        } else {
            const auto encoded = i18n::encodeFromUtf8(l.text, l.codePage);
            if (!encoded.ok()) {
                std::cerr << "cannot encode the " << l.name << " sample\n";
                return 1;
            }
            bytes.insert(bytes.end(), encoded.bytes.begin(), encoded.bytes.end());
        }
        Write("language_file", l.name, bytes);
    }

    // Request frames for the simulated controller: setup byte 6 (software 37, hardware 0x43), then
    // pieces of a gap byte, a length byte and the bytes.
    const std::vector<Bytes> requests = {
        FrameBytes(link::code::Identify),          FrameBytes(link::code::ParamRead, 5),
        FrameBytes(link::code::ReadLiveFrame),     FrameBytes(link::code::ParamSelect, 10),
        FrameBytes(link::code::ParamStore, 10, 0, 50), FrameBytes(link::code::ParamSet, 10, 0, 50),
        FrameBytes(link::code::PointRead, 3),      FrameBytes(link::code::GridCellRead, 2, 3),
        FrameBytes(link::code::StdMapRead, 4),     FrameBytes(link::code::RecordWordRead, 61),
        FrameBytes(link::code::LambdaRead, 2),     FrameBytes(link::code::TempPointRead, 1),
    };
    seed.assign(1, 6);
    for (const auto& r : requests) {
        seed.push_back(1);
        seed.push_back(static_cast<std::uint8_t>(r.size()));
        seed.insert(seed.end(), r.begin(), r.end());
    }
    Write("sim_frames", "reads_and_a_write", seed);
    seed.assign({6, 0, 3});
    const auto f = FrameBytes(link::code::Identify);
    seed.insert(seed.end(), f.begin(), f.begin() + 3);
    seed.insert(seed.end(), {60, 3});
    seed.insert(seed.end(), f.begin() + 3, f.end());
    Write("sim_frames", "split_after_a_gap", seed);

    // Replies of the simulated controller to each read the reply-stream target runs.
    const std::vector<std::pair<std::uint8_t, Bytes>> ops = {
        {0, {}},        {1, {5}},  {2, {61}}, {3, {0, 3, 0, 1}}, {3, {1, 2, 3, 1}}, {3, {5, 2, 0, 1}},
        {4, {}},        {5, {}},   {6, {}},   {7, {}},           {8, {}},           {9, {0}},
        {10, {}},       {11, {}},  {12, {}},  {13, {}},
    };
    for (const auto& [op, args] : ops) {
        std::string name = "op" + std::to_string(op);
        for (auto a : args) name += "_" + std::to_string(a);
        Write("reply_stream", name, ReplySeed(op, args));
    }

    // Typed texts: the operation byte, its choices, zero-terminated texts.
    const auto typed = [](std::initializer_list<std::string> parts) {
        Bytes bytes;
        for (const auto& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
        return bytes;
    };
    using namespace std::string_literals;
    Write("typed_text", "setting_number", typed({"\x00\x0A"s, "1200\0"s}));
    Write("typed_text", "setting_signed", typed({"\x00\x03"s, "-5\0"s}));
    Write("typed_text", "setting_list_text", typed({"\x00\x45"s, "Sekwencja\0"s}));
    Write("typed_text", "points", typed({"\x01"s, "2\0" "4\0" "6\0" "8\0" "10\0" "12\0" "14\0" "16\0" "18\0" "20\0" "22\0"s,
                                         "1000\0" "2000\0" "3000\0" "4000\0" "5000\0" "6000\0"s}));
    Write("typed_text", "advanced_value", typed({"\x02\x00\x02\x00\x03\x00"s, "15\0"s}));
    Write("typed_text", "advanced_gradient", typed({"\x02\x02\x02\x04\x04\x01"s, "10\0"s}));
    Write("typed_text", "standard_value", typed({"\x03\x02\x05"s, "-10\0"s}));
    Write("typed_text", "paste", typed({"\x04\x00\x00"s, "5\t-5\r\n0\t10\n\0"s, "\x03"s}));
    Write("typed_text", "lambda_text", typed({"\x05\x02"s, "0,45\0"s}));
    Write("typed_text", "lambda_word", typed({"\x06\x03\x12\x34\x01"s}));
    Write("typed_text", "adaptation_correction", typed({"\x08"s, "12,5\0"s}));
    Write("typed_text", "vehicle", typed({"\x07\x01"s, "KR 4711\0"s, "\x01"s, "\xC5\xA0koda\0"s,
                                          "\x00\x00\x00\x00\x00\x00\x01\x04\x01\x03\x00\x00\x01"s}));

    // Command lines, arguments separated by a zero byte.
    const std::vector<std::vector<std::string>> lines = {
        {"--device", "/dev/null", "identify", "--json"},
        {"--com", "3", "live", "--count", "5", "--csv"},
        {"--map", "COM3=/dev/ttyUSB9", "--com", "3", "report", "--pdf", "out.pdf"},
        {"--trace", "t.txt", "map", "set", "advanced", "1-2", "3", "5"},
        {"points", "set", "--ms", "1,2,3,4,5,6,7,8,9,10,11", "--rpm", "1000,2000,3000,4000,5000,6000"},
        {"vehicle", "set", "--registration", "KR 12345", "--date", "2024-02-29", "--capacity", "1.60"},
        {"emission", "show", "--json"},
        {"worktime", "reset", "gas"},
        {"map", "gradient", "2-4", "1-3", "5"},
        {"--help"},
    };
    int n = 0;
    for (const auto& l : lines) {
        Bytes bytes;
        for (const auto& arg : l) {
            if (!bytes.empty()) bytes.push_back(0);
            bytes.insert(bytes.end(), arg.begin(), arg.end());
        }
        Write("cli_args", "line" + std::to_string(++n), bytes);
    }
    std::cout << "seed corpus written to " << g_out << '\n';
    return 0;
}
