// The manual pages against what the binaries say they accept: every option and command that --help lists
// is in the page, and every one the page documents is still in --help, so a removed option fails too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "params/build_info.h"

namespace {

using Names = std::set<std::string>;

struct Output {
    int status = -1;
    std::string text;
};

// Runs a binary with one argument and takes its standard output. Qt's offscreen platform, in case the GUI
// ever gets as far as Qt; its --help must not.
Output RunBinary(const std::string& path, const std::string& argument) {
    const std::string command = "QT_QPA_PLATFORM=offscreen '" + path + "' " + argument + " 2>/dev/null";
    Output out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return out;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.text.append(buffer, n);
    const int status = ::pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Every long option named in a text: "--json", also inside "[--json|--csv]".
Names LongOptions(const std::string& text) {
    static const std::regex kOption(R"((^|[^A-Za-z0-9_-])(--[a-z][a-z0-9-]*))");
    Names names;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), kOption); it != std::sregex_iterator(); ++it)
        names.insert((*it)[2]);
    return names;
}

std::string FirstWord(const std::string& line) {
    const auto begin = line.find_first_not_of(" \t");
    if (begin == std::string::npos) return {};
    const auto end = line.find_first_of(" \t|[", begin);
    return line.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

// A roff line as the reader sees its words: font changes and the font macros' names gone, "\-" a hyphen.
std::string PlainRoff(std::string line) {
    static const std::regex kFont(R"(\\f(\[[A-Z]*\]|\([A-Z][A-Z]|[A-Z]))");
    static const std::regex kFontMacro(R"(^\.(B|I|R|BI|BR|IB|IR|RB|RI|SM|SB)( |$))");
    line = std::regex_replace(line, kFont, "");
    line = std::regex_replace(line, kFontMacro, "");
    std::string plain;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '-' || line[i + 1] == '&')) {
            if (line[i + 1] == '-') plain += '-';
            ++i;
        } else if (line[i] != '"') {
            plain += line[i];
        }
    }
    return plain;
}

// What the help of a binary lists: its options and, under `heading`, its commands (the first word of each
// line indented by two spaces, up to the next empty line).
struct Help {
    Names options;
    Names commands;
    std::map<std::string, Names> commandOptions;  // the options on a command's own line
};

Help ParseHelp(const std::string& text, const std::string& heading) {
    Help help;
    help.options = LongOptions(text);
    if (heading.empty()) return help;
    bool inside = false;
    for (const auto& line : Lines(text)) {
        if (!inside) {
            inside = line.size() >= heading.size() && line.compare(line.size() - heading.size(), heading.size(), heading) == 0;
            continue;
        }
        if (line.empty()) break;
        if (line.rfind("  ", 0) != 0 || line.size() < 3 || line[2] == ' ') continue;  // a continuation
        const std::string name = FirstWord(line);
        help.commands.insert(name);
        auto& options = help.commandOptions[name];
        for (const auto& o : LongOptions(line)) options.insert(o);
    }
    return help;
}

// What a page documents: the long options in OPTIONS and in the section `section` (a description or an
// example may name another program's), and in `section` the commands, each the first word of an
// outermost tagged paragraph, with the options its paragraphs name.
struct Page {
    std::string title;
    Names options;
    Names commands;
    std::map<std::string, Names> commandOptions;
};

Page ParsePage(const std::string& source, const std::string& section) {
    Page page;
    const auto lines = Lines(source);
    std::string current;  // the section
    std::string command;  // the command whose paragraphs these are
    int depth = 0;
    bool tag = false;
    for (const auto& raw : lines) {
        if (raw.rfind(".\\\"", 0) == 0 || raw.rfind("'\\\"", 0) == 0) continue;  // a comment
        const std::string line = PlainRoff(raw);
        if (raw.rfind(".TH ", 0) == 0) page.title = FirstWord(line.substr(4));
        if (raw.rfind(".SH ", 0) == 0 || raw.rfind(".SS ", 0) == 0) {
            if (raw.rfind(".SH ", 0) == 0) current = line.substr(4);
            command.clear();
            depth = 0;
            continue;
        }
        if (raw.rfind(".RS", 0) == 0) ++depth;
        if (raw.rfind(".RE", 0) == 0 && depth > 0) --depth;
        if (current == "OPTIONS" || (!section.empty() && current == section))
            for (const auto& o : LongOptions(line)) page.options.insert(o);
        if (section.empty() || current != section) continue;
        if (raw.rfind(".TP", 0) == 0) {
            tag = depth == 0;
            continue;
        }
        if (tag) {
            tag = false;
            const std::string word = FirstWord(line);
            if (!word.empty() && word[0] != '-') {
                command = word;
                page.commands.insert(word);
            }
        }
        if (!command.empty())
            for (const auto& o : LongOptions(line)) page.commandOptions[command].insert(o);
    }
    return page;
}

std::string Listed(const Names& names) {
    std::string s;
    for (const auto& n : names) s += (s.empty() ? "" : " ") + n;
    return s.empty() ? "(none)" : s;
}

Names Without(const Names& a, const Names& b) {
    Names d;
    for (const auto& n : a)
        if (!b.count(n)) d.insert(n);
    return d;
}

struct Binary {
    std::string name;
    std::string path;
    std::string helpHeading;  // the line before the commands in --help; empty: no commands
    std::string section;      // the page's section of them
};

std::vector<Binary> Binaries() {
    std::vector<Binary> b = {
        {"sequaflow-cli", SEQUAFLOW_CLI_PATH, "Commands:", "COMMANDS"},
        {"sequaflow-sim", SEQUAFLOW_SIM_PATH, "one command a line:", "DRIVER COMMANDS"},
    };
#ifdef SEQUAFLOW_GUI_PATH
    b.push_back({"sequaflow", SEQUAFLOW_GUI_PATH, "", ""});
#endif
    return b;
}

std::string PagePath(const std::string& name) { return std::string(SEQUAFLOW_SOURCE_DIR) + "/man/" + name + ".1"; }

}  // namespace

TEST(ManPages, ParsingFindsOptionsAndCommandsInHelpAndRoff) {
    // The parsers on their own, so that a comparison of two empty sets cannot pass for a match.
    const Help help = ParseHelp("Usage: x [--alpha N]\n\nCommands:\n  go [--fast|--slow]   run\n"
                                "                       --not-a-command continues the line above\n"
                                "  stop                stop\n\nNotes: --beta\n",
                                "Commands:");
    EXPECT_EQ(Listed(help.options), "--alpha --beta --fast --not-a-command --slow");
    EXPECT_EQ(Listed(help.commands), "go stop");
    EXPECT_EQ(Listed(help.commandOptions.at("go")), "--fast --slow");

    const Page page = ParsePage(".\\\" --commented-out\n.TH X\\-Y 1\n.SH DESCRIPTION\nlike \\-\\-other\n.SH OPTIONS\n.TP\n.BI \\-\\-alpha \" N\"\n"
                                ".SH COMMANDS\n.TP\n\\fBgo\\fR [\\fB\\-\\-fast\\fR|\\fB\\-\\-slow\\fR]\ntext\n.RS\n"
                                ".TP\n\\fB\\-\\-nested\\fR\nof go\n.RE\n.TP\n.B stop\nthe end, see \\-\\-alpha\n"
                                ".SH EXAMPLES\n.TP\n.B example \\-\\-elsewhere\n",
                                "COMMANDS");
    EXPECT_EQ(page.title, "X-Y");
    EXPECT_EQ(Listed(page.options), "--alpha --fast --nested --slow");
    EXPECT_EQ(Listed(page.commands), "go stop");
    EXPECT_EQ(Listed(page.commandOptions.at("go")), "--fast --nested --slow");
    EXPECT_EQ(Listed(page.commandOptions.at("stop")), "--alpha");
}

TEST(ManPages, EachPageDocumentsExactlyWhatItsBinaryAccepts) {
    for (const auto& binary : Binaries()) {
        SCOPED_TRACE(binary.name);
        const Output out = RunBinary(binary.path, "--help");
        ASSERT_EQ(out.status, 0) << binary.path << " --help";
        const std::string source = ReadFile(PagePath(binary.name));
        ASSERT_FALSE(source.empty()) << PagePath(binary.name);

        const Help help = ParseHelp(out.text, binary.helpHeading);
        const Page page = ParsePage(source, binary.section);
        EXPECT_EQ(page.title, [&] {
            std::string upper;
            for (char c : binary.name) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            return upper;
        }());
        EXPECT_TRUE(help.options.count("--help") && help.options.count("--version"))
            << "--help lists: " << Listed(help.options);
        EXPECT_EQ(Listed(Without(help.options, page.options)), "(none)") << "options --help lists but the page lacks";
        EXPECT_EQ(Listed(Without(page.options, help.options)), "(none)")
            << "options the page documents but --help does not list";
        if (binary.helpHeading.empty()) continue;
        EXPECT_GE(help.commands.size(), 2u) << "no commands found under '" << binary.helpHeading << "'";
        EXPECT_EQ(Listed(Without(help.commands, page.commands)), "(none)") << "commands the page lacks";
        EXPECT_EQ(Listed(Without(page.commands, help.commands)), "(none)")
            << "commands the page documents but --help does not list";
        for (const auto& [command, options] : help.commandOptions) {
            const auto it = page.commandOptions.find(command);
            const Names documented = it == page.commandOptions.end() ? Names{} : it->second;
            EXPECT_EQ(Listed(Without(options, documented)), "(none)")
                << "options of '" << command << "' missing from its entry in " << binary.section;
        }
    }
}

TEST(ManPages, VersionNamesTheProgramVersionAndBuild) {
    for (const auto& binary : Binaries()) {
        const Output out = RunBinary(binary.path, "--version");
        EXPECT_EQ(out.status, 0) << binary.name;
        // The build part is the commit at configure time, which a binary built earlier may not share.
        const std::string head = binary.name + " " + std::string(sequaflow::params::kVersion) + " (build ";
        EXPECT_EQ(out.text.rfind(head, 0), 0u) << out.text;
        EXPECT_GT(out.text.size(), head.size() + 2) << out.text;
        EXPECT_EQ(out.text.substr(out.text.size() < 2 ? 0 : out.text.size() - 2), ")\n") << out.text;
        EXPECT_EQ(std::count(out.text.begin(), out.text.end(), '\n'), 1) << out.text;
    }
}
