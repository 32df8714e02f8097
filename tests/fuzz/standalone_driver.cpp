// Runs a fuzz target without libFuzzer, for the normal (gcc, sanitized) build and CTest: every file of the
// corpus directories first, then seeded random mutations of them for the given time. The same seed gives
// the same inputs, so a failure on CI repeats on any machine.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kMaxInput = 4096;

Bytes g_current;
std::string g_crashDir = ".";

void Save(const Bytes& input, const std::string& path) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(input.data()), static_cast<std::streamsize>(input.size()));
}

// A sanitizer report ends the process: keep the input that caused it.
void OnDeath() {
    const std::string path = g_crashDir + "/crash-standalone";
    Save(g_current, path);
    std::fprintf(stderr, "standalone fuzz driver: the failing input is in %s\n", path.c_str());
}

void Run(const Bytes& input) {
    g_current = input;
    // A copy of exactly the input's size, so a read past its end is caught.
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[std::max<std::size_t>(input.size(), 1)]);
    std::copy(input.begin(), input.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), input.size());
}

Bytes Mutate(const std::vector<Bytes>& corpus, std::mt19937& rng) {
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % std::max<std::size_t>(n, 1)); };
    Bytes b = corpus.empty() ? Bytes{} : corpus[pick(corpus.size())];
    const int edits = 1 + static_cast<int>(rng() % 8);
    for (int e = 0; e < edits; ++e) {
        switch (rng() % 8) {
            case 0:  // flip a bit
                if (!b.empty()) b[pick(b.size())] ^= static_cast<std::uint8_t>(1u << (rng() % 8));
                break;
            case 1:  // a random byte
                if (!b.empty()) b[pick(b.size())] = static_cast<std::uint8_t>(rng());
                break;
            case 2:  // an interesting byte
                if (!b.empty()) {
                    static constexpr std::uint8_t kInteresting[] = {0, 1, 0x7F, 0x80, 0xFF, ':', '\n', '\r', '#', '-'};
                    b[pick(b.size())] = kInteresting[pick(std::size(kInteresting))];
                }
                break;
            case 3:  // insert
                if (b.size() < kMaxInput) b.insert(b.begin() + static_cast<long>(pick(b.size() + 1)), static_cast<std::uint8_t>(rng()));
                break;
            case 4:  // erase a run
                if (!b.empty()) {
                    const auto at = pick(b.size());
                    const auto n = std::min(b.size() - at, 1 + pick(16));
                    b.erase(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
                }
                break;
            case 5:  // duplicate a run
                if (!b.empty() && b.size() < kMaxInput) {
                    const auto at = pick(b.size());
                    const auto n = std::min(b.size() - at, 1 + pick(32));
                    const Bytes run(b.begin() + static_cast<long>(at), b.begin() + static_cast<long>(at + n));
                    b.insert(b.begin() + static_cast<long>(pick(b.size() + 1)), run.begin(), run.end());
                }
                break;
            case 6:  // splice with another entry
                if (!corpus.empty()) {
                    const Bytes& other = corpus[pick(corpus.size())];
                    const auto cut = pick(b.size() + 1);
                    const auto from = pick(other.size() + 1);
                    b.resize(cut);
                    b.insert(b.end(), other.begin() + static_cast<long>(from), other.end());
                }
                break;
            default:  // truncate
                b.resize(pick(b.size() + 1));
                break;
        }
    }
    if (b.size() > kMaxInput) b.resize(kMaxInput);
    return b;
}

Bytes ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 0;
    std::uint32_t seed = 1;
    std::vector<std::filesystem::path> inputs;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--seconds" && i + 1 < argc) {
            seconds = std::atof(argv[++i]);
        } else if (a == "--seed" && i + 1 < argc) {
            seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (a == "--crash-dir" && i + 1 < argc) {
            g_crashDir = argv[++i];
        } else if (a.rfind("--", 0) == 0) {
            std::cerr << "usage: " << argv[0] << " [--seconds S] [--seed N] [--crash-dir DIR] CORPUS_DIR_OR_FILE...\n";
            return 2;
        } else {
            inputs.emplace_back(a);
        }
    }
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(OnDeath);

    std::vector<Bytes> corpus;
    for (const auto& in : inputs) {
        std::error_code ec;
        if (std::filesystem::is_directory(in, ec)) {
            std::vector<std::filesystem::path> files;
            for (const auto& e : std::filesystem::directory_iterator(in))
                if (e.is_regular_file()) files.push_back(e.path());
            std::sort(files.begin(), files.end());  // the same order everywhere, for the seeded run
            for (const auto& f : files) corpus.push_back(ReadFile(f));
        } else if (std::filesystem::is_regular_file(in, ec)) {
            corpus.push_back(ReadFile(in));
        } else {
            std::cerr << "standalone fuzz driver: no such file or directory: " << in << '\n';
            return 2;
        }
    }

    std::size_t runs = 0;
    for (const auto& c : corpus) {
        Run(c);
        ++runs;
    }
    std::mt19937 rng(seed);
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) {
        for (int i = 0; i < 64; ++i) {
            Run(Mutate(corpus, rng));
            ++runs;
        }
    }
    std::cout << "standalone fuzz driver: " << corpus.size() << " corpus inputs, " << runs << " runs, no failure\n";
    return 0;
}
