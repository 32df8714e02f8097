#include "support/transcript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <vector>

namespace sequaflow::testing_support {
namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

enum class Kind { Same, Removed, Added };
struct Op {
    Kind kind;
    std::size_t expectedLine;  // 0-based; for an added line, the expected line it comes before
    std::size_t actualLine;    // likewise for a removed line
};

// Larger middles than this are shown as all removed then all added rather than matched line by line.
constexpr std::size_t kMaxMatchCells = 4'000'000;

// The edit script from expected to actual: common ends kept, the middle matched by longest common subsequence.
std::vector<Op> EditScript(const std::vector<std::string>& e, const std::vector<std::string>& a) {
    std::size_t prefix = 0;
    while (prefix < e.size() && prefix < a.size() && e[prefix] == a[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < e.size() - prefix && suffix < a.size() - prefix &&
           e[e.size() - 1 - suffix] == a[a.size() - 1 - suffix])
        ++suffix;
    const std::size_t n = e.size() - prefix - suffix;
    const std::size_t m = a.size() - prefix - suffix;

    std::vector<Op> ops;
    for (std::size_t i = 0; i < prefix; ++i) ops.push_back({Kind::Same, i, i});
    if (n * m <= kMaxMatchCells) {
        // lcs[i][j]: longest common run of e[prefix + i ..] and a[prefix + j ..] (row-major, (m + 1) wide).
        std::vector<std::uint32_t> lcs((n + 1) * (m + 1), 0);
        const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& { return lcs[i * (m + 1) + j]; };
        for (std::size_t i = n; i-- > 0;)
            for (std::size_t j = m; j-- > 0;)
                at(i, j) = e[prefix + i] == a[prefix + j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
        std::size_t i = 0, j = 0;
        while (i < n || j < m) {
            if (i < n && j < m && e[prefix + i] == a[prefix + j]) {
                ops.push_back({Kind::Same, prefix + i++, prefix + j++});
            } else if (j == m || (i < n && at(i + 1, j) >= at(i, j + 1))) {
                ops.push_back({Kind::Removed, prefix + i++, prefix + j});
            } else {
                ops.push_back({Kind::Added, prefix + i, prefix + j++});
            }
        }
    } else {
        for (std::size_t i = 0; i < n; ++i) ops.push_back({Kind::Removed, prefix + i, prefix});
        for (std::size_t j = 0; j < m; ++j) ops.push_back({Kind::Added, prefix + n, prefix + j});
    }
    for (std::size_t k = 0; k < suffix; ++k) ops.push_back({Kind::Same, prefix + n + k, prefix + m + k});
    return ops;
}

constexpr std::size_t kContext = 3;

bool UpdateRequested() {
    const char* update = std::getenv("SEQUAFLOW_UPDATE_GOLDEN");
    return update && std::string(update) == "1";
}

std::optional<std::string> ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Through a temporary file, so a failed write leaves the previous golden file whole.
bool WriteWhole(const std::string& path, const std::string& text) {
    const std::string temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.flush();
        if (!out) return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

std::string GoldenDiff(const std::string& expected, const std::string& actual, std::size_t maxLines) {
    if (expected == actual) return {};
    const auto e = Lines(expected);
    const auto a = Lines(actual);
    std::ostringstream out;
    out << "expected " << e.size() << " lines, actual " << a.size() << " lines\n";
    if (e == a) {
        out << "the lines are equal; only the final newline differs\n";
        return out.str();
    }
    const auto ops = EditScript(e, a);
    std::vector<std::size_t> changes;
    for (std::size_t k = 0; k < ops.size(); ++k)
        if (ops[k].kind != Kind::Same) changes.push_back(k);

    std::size_t shown = 0;
    std::size_t c = 0;
    while (c < changes.size()) {
        // One hunk: the changes whose gaps of equal lines are short enough to share their context.
        std::size_t last = c;
        while (last + 1 < changes.size() && changes[last + 1] - changes[last] <= 2 * kContext + 1) ++last;
        const std::size_t begin = changes[c] > kContext ? changes[c] - kContext : 0;
        const std::size_t end = std::min(ops.size(), changes[last] + kContext + 1);
        std::size_t expectedCount = 0, actualCount = 0;
        for (std::size_t k = begin; k < end; ++k) {
            if (ops[k].kind != Kind::Added) ++expectedCount;
            if (ops[k].kind != Kind::Removed) ++actualCount;
        }
        out << "@@ -" << ops[begin].expectedLine + 1 << ',' << expectedCount << " +" << ops[begin].actualLine + 1
            << ',' << actualCount << " @@\n";
        for (std::size_t k = begin; k < end; ++k) {
            if (shown == maxLines) {
                out << "... (cut short; " << changes.size() << " lines differ in all)\n";
                return out.str();
            }
            ++shown;
            switch (ops[k].kind) {
                case Kind::Same: out << ' ' << e[ops[k].expectedLine] << '\n'; break;
                case Kind::Removed: out << '-' << e[ops[k].expectedLine] << '\n'; break;
                case Kind::Added: out << '+' << a[ops[k].actualLine] << '\n'; break;
            }
        }
        c = last + 1;
    }
    return out.str();
}

void ExpectMatchesGolden(const std::string& name, const std::string& actual) {
    const std::string shown = "tests/golden/" + name + ".txt";
    const std::string path = std::string(SEQUAFLOW_GOLDEN_DIR) + "/" + name + ".txt";
    const auto expected = ReadWhole(path);
    if (UpdateRequested()) {
        if (expected == actual) {
            ADD_FAILURE() << shown << " already matches (not rewritten); run again without SEQUAFLOW_UPDATE_GOLDEN";
            return;
        }
        if (!WriteWhole(path, actual)) {
            ADD_FAILURE() << "cannot write " << path;
            return;
        }
        std::cerr << "sequaflow: rewrote " << path << std::endl;
        ADD_FAILURE() << "rewrote " << shown << "; review the diff and run again without SEQUAFLOW_UPDATE_GOLDEN";
        return;
    }
    if (!expected) {
        ADD_FAILURE() << "missing golden file " << shown << " (run with SEQUAFLOW_UPDATE_GOLDEN=1 to create it)";
        return;
    }
    if (*expected == actual) return;
    ADD_FAILURE() << "transcript differs from " << shown << " (- expected, + actual)\n" << GoldenDiff(*expected, actual);
}

}  // namespace sequaflow::testing_support
