#include "sim/state_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace sequaflow::sim {

namespace {

constexpr const char* kHeader = "sequaflow-sim state 1";

template <std::size_t N>
void PutLine(std::ostringstream& out, const char* name, const std::array<std::uint16_t, N>& words) {
    out << name;
    char buf[8];
    for (auto w : words) {
        std::snprintf(buf, sizeof buf, " %04X", static_cast<unsigned>(w));
        out << buf;
    }
    out << '\n';
}

// Reads exactly N hexadecimal words; anything else in the line is an error.
template <std::size_t N>
bool ParseWords(std::istringstream& line, std::array<std::uint16_t, N>& words) {
    for (auto& w : words) {
        std::string token;
        if (!(line >> token) || token.empty() || token.size() > 4) return false;
        unsigned v = 0;
        for (char ch : token) {
            int d;
            if (ch >= '0' && ch <= '9') d = ch - '0';
            else if (ch >= 'a' && ch <= 'f') d = ch - 'a' + 10;
            else if (ch >= 'A' && ch <= 'F') d = ch - 'A' + 10;
            else return false;
            v = v * 16 + static_cast<unsigned>(d);
        }
        w = static_cast<std::uint16_t>(v);
    }
    std::string extra;
    return !(line >> extra);
}

Error<StateFileError> Fail(StateFileError code, std::string detail) { return {code, std::move(detail)}; }

}  // namespace

std::string FormatStateFile(const PersistentStores& s) {
    std::ostringstream out;
    out << kHeader << '\n';
    PutLine(out, "params", s.params);
    PutLine(out, "map", s.mapWords);
    PutLine(out, "corr", s.corrWords);
    PutLine(out, "record", s.record);
    return out.str();
}

Result<PersistentStores, StateFileError> ParseStateFile(const std::string& text) {
    std::istringstream in(text);
    std::string line;
    if (!std::getline(in, line) || line != kHeader)
        return Fail(StateFileError::Malformed, "first line is not \"" + std::string(kHeader) + "\"");
    PersistentStores s;
    bool seen[4] = {false, false, false, false};
    int lineNo = 1;
    while (std::getline(in, line)) {
        ++lineNo;
        if (line.empty()) continue;
        std::istringstream ls(line);
        std::string name;
        ls >> name;
        bool ok = false;
        int which = -1;
        if (name == "params") ok = ParseWords(ls, s.params), which = 0;
        else if (name == "map") ok = ParseWords(ls, s.mapWords), which = 1;
        else if (name == "corr") ok = ParseWords(ls, s.corrWords), which = 2;
        else if (name == "record") ok = ParseWords(ls, s.record), which = 3;
        if (which < 0) return Fail(StateFileError::Malformed, "line " + std::to_string(lineNo) + ": unknown store");
        if (!ok || seen[which])
            return Fail(StateFileError::Malformed,
                        "line " + std::to_string(lineNo) + ": store \"" + name + "\" has a bad word list");
        seen[which] = true;
    }
    for (bool b : seen)
        if (!b) return Fail(StateFileError::Malformed, "a store is missing");
    return s;
}

Result<PersistentStores, StateFileError> LoadStateFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        const int err = errno;
        return Fail(err == ENOENT ? StateFileError::NotFound : StateFileError::Unreadable,
                    path + ": " + std::strerror(err));
    }
    std::ostringstream buf;
    // The file is a few kilobytes; anything much larger is not ours.
    constexpr std::size_t kLimit = 64 * 1024;
    char chunk[4096];
    std::size_t total = 0;
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        total += static_cast<std::size_t>(in.gcount());
        if (total > kLimit) return Fail(StateFileError::Malformed, path + ": too large for a state file");
        buf.write(chunk, in.gcount());
    }
    auto parsed = ParseStateFile(buf.str());
    if (!parsed) return Fail(parsed.error().code, path + ": " + parsed.error().detail);
    return parsed;
}

Result<Ok, StateFileError> SaveStateFile(const std::string& path, const PersistentStores& stores) {
    const std::string tmp = path + ".tmp";
    const std::string text = FormatStateFile(stores);
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return Fail(StateFileError::WriteFailed, tmp + ": " + std::strerror(errno));
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    if (!written || !closed) {
        std::remove(tmp.c_str());
        return Fail(StateFileError::WriteFailed, tmp + ": write failed");
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        const int err = errno;
        std::remove(tmp.c_str());
        return Fail(StateFileError::WriteFailed, path + ": " + std::strerror(err));
    }
    return Ok{};
}

}  // namespace sequaflow::sim
