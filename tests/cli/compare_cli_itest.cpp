#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "params/factory_defaults.h"
#include "sim/controller.h"
#include "sim/pty_server.h"
#include "support/cli_runner.h"
#include "support/pty_sim_fixture.h"

using namespace sequaflow;
using testing_support::RunTool;

namespace {

using Bytes = std::vector<unsigned char>;

// The factory configuration as a parameter file, byte by byte as the format lays it out.
Bytes FactoryFile() {
    Bytes b;
    for (const auto w : params::kFactoryParameters) {
        b.push_back(static_cast<unsigned char>(w >> 8));
        b.push_back(static_cast<unsigned char>(w & 0xFF));
    }
    for (const auto p : params::kDefaultPoints) {
        b.push_back(static_cast<unsigned char>(p & 0xFF));
        b.push_back(static_cast<unsigned char>(p >> 8));
    }
    b.insert(b.end(), params::kDefaultAdvancedMap.begin(), params::kDefaultAdvancedMap.end());
    b.insert(b.end(), params::kDefaultStdMap.begin(), params::kDefaultStdMap.end());
    return b;
}

void Write(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

constexpr std::size_t kAdvanced = 162;
constexpr std::size_t kStandard = 246;

TEST(Diff, FilesEqualOneParameterOneCellAndBadInput) {
    Bytes a = FactoryFile();
    ASSERT_EQ(a.size(), 258u);
    Write("a.kst", a);
    Write("same.kst", a);
    auto r = RunTool({"diff", "a.kst", "same.kst"});
    EXPECT_EQ(r.rc, 0) << r.err;
    EXPECT_EQ(r.out, "");

    Bytes b = a;
    b[2 * 21 + 1] = 4;                 // ignition type "6 Cyl."
    b[kAdvanced + 7 * 2 + 3] = 190;    // +90 %
    Write("b.kst", b);
    r = RunTool({"diff", "a.kst", "b.kst"});
    EXPECT_EQ(r.rc, 1) << r.err;
    EXPECT_EQ(r.out, "parameter 21 (ignition_type): 4 Cyl. -> 6 Cyl.\n"
                     "advanced map cell 2,3 (row,column): +15% -> +90%\n");
    r = RunTool({"diff", "b.kst", "a.kst", "--json"});
    EXPECT_EQ(r.rc, 1);
    EXPECT_EQ(r.out, "{\"a\":\"b.kst\",\"b\":\"a.kst\",\"equal\":false,\"count\":2,\"differences\":["
                     "{\"item\":\"parameter 21 (ignition_type)\",\"kind\":\"parameter\",\"number\":21,"
                     "\"key\":\"ignition_type\",\"a\":\"6 Cyl.\",\"b\":\"4 Cyl.\",\"raw_a\":4,\"raw_b\":2},"
                     "{\"item\":\"advanced map cell 2,3 (row,column)\",\"kind\":\"advanced_cell\",\"row\":2,"
                     "\"column\":3,\"key\":null,\"a\":\"+90%\",\"b\":\"+15%\",\"raw_a\":90,\"raw_b\":15}]}\n");

    // A short file is no parameter file; it is judged before any port would be opened.
    Write("short.kst", Bytes(a.begin(), a.begin() + 200));
    r = RunTool({"--device", "/dev/nonexistent-sequaflow", "diff", "controller", "short.kst"});
    EXPECT_EQ(r.rc, 5);
    EXPECT_NE(r.err.find("short.kst"), std::string::npos) << r.err;
    EXPECT_EQ(RunTool({"diff", "a.kst"}).rc, 2);
    EXPECT_EQ(RunTool({"diff", "a.kst", "b.kst", "c.kst"}).rc, 2);
    EXPECT_EQ(RunTool({"diff", "a.kst", "--fast", "b.kst"}).rc, 2);
}

TEST(Plausibility, DecodeAndLoadRefuseAFileThatIsNoneBeforeTheyOpenAPort) {
    std::string text;
    while (text.size() < 300) text += "root:x:0:0:root:/root:/bin/bash\n";
    std::ofstream("passwd") << text;
    auto r = RunTool({"decode", "passwd"});
    EXPECT_EQ(r.rc, 5);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("passwd does not look like a parameter file: parameter 0 (programmed_marker) is 29295, "
                         "expected 43690 or 0; parameter 1"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("more"), std::string::npos);
    r = RunTool({"decode", "passwd", "--force"});
    EXPECT_EQ(r.rc, 0);
    EXPECT_NE(r.out.find("29295"), std::string::npos);

    Bytes cell = FactoryFile();
    cell[kStandard + 4] = 191;  // +91 %
    Write("cell.kst", cell);
    r = RunTool({"--device", "/dev/nonexistent-sequaflow", "load", "cell.kst", "--no-backup"});
    EXPECT_EQ(r.rc, 5);
    EXPECT_NE(r.err.find("standard map cell 4 is +91%, expected -25..+90%"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("nothing was sent"), std::string::npos) << r.err;
    // With --force it goes on to the port (which is not there).
    EXPECT_EQ(RunTool({"--device", "/dev/nonexistent-sequaflow", "load", "cell.kst", "--no-backup", "--force"}).rc, 3);
}

using Simulated = testing_support::PtySimulatorTest;

TEST_F(Simulated, TheLoadsReadBackComparesWithTheFileAndDiffSeesTheSame) {
    // The factory controller has no turbo: its map maximum is +50 %, so +90 % is sent as +50 %.
    Bytes file = FactoryFile();
    file[kAdvanced + 7 * 4 + 5] = 190;
    file[2 * 5 + 1] = 30;  // switch-over temperature 30 C
    Write("turbo.kst", file);
    auto r = Tool({"load", "turbo.kst", "--no-backup"});
    EXPECT_EQ(r.rc, 7) << r.err;
    EXPECT_NE(r.err.find("sequaflow-cli: read-back: advanced map cell 4,5 (row,column): the file has +90%, the "
                         "controller holds +50%\n"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.err.find("parameter 5"), std::string::npos) << "parameter 5 was taken as it is: " << r.err;
    EXPECT_NE(r.err.find("holds 1 value(s) other than the file"), std::string::npos) << r.err;

    r = Tool({"diff", "turbo.kst", "controller"});
    EXPECT_EQ(r.rc, 1) << r.err;
    EXPECT_NE(r.out.find("advanced map cell 4,5 (row,column): +90% -> +50%\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("parameter 5 "), std::string::npos) << r.out;
}

}  // namespace
