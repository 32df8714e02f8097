#pragma once

#include <string>
#include <string_view>

namespace sequaflow::params {

// The version and the build this binary came from; the build names the commit and the build type, so a
// report from a workshop tells which code it was.
inline constexpr std::string_view kVersion = SEQUAFLOW_VERSION;
inline constexpr std::string_view kBuild = SEQUAFLOW_BUILD;

// What `--version` prints, e.g. "sequaflow-cli 0.1.0 (build 06055ed, Release)".
inline std::string VersionLine(std::string_view program) {
    std::string line(program);
    line += ' ';
    line += kVersion;
    line += " (build ";
    line += kBuild;
    line += ')';
    return line;
}

}  // namespace sequaflow::params
