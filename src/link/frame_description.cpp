#include "link/frame_description.h"

#include <array>
#include <cstdio>
#include <string_view>

#include "link/commands.h"

namespace sequaflow::link {
namespace {

// How a command uses its argument bytes A, B and C.
enum class Layout : std::uint8_t {
    None,            // no arguments
    Word,            // B:C a 16-bit value
    Index,           // A
    IndexWord,       // A, then B:C a 16-bit value
    IndexTwice,      // A, repeated in B
    IndexTwiceByte,  // A, repeated in B, then C a byte
    Cell,            // A row, B column
    CellByte,        // A row, B column, then C a byte
};

struct CommandInfo {
    std::uint8_t code;
    std::string_view name;
    Layout layout;
    std::uint8_t lastIndex;  // the highest A its store holds (the last row for cells); unused without an index
};

inline constexpr std::uint8_t kLastColumn = 6;
inline constexpr std::uint8_t kLastParam = 63;
inline constexpr std::uint8_t kLastPoint = 16;
inline constexpr std::uint8_t kLastRow = 11;
inline constexpr std::uint8_t kLastMapWord = 59;
inline constexpr std::uint8_t kLastStdCell = 11;
inline constexpr std::uint8_t kLastLambda = 11;
inline constexpr std::uint8_t kLastCorrWord = 38;
inline constexpr std::uint8_t kLastRecordWord = 63;

constexpr std::array kCommands{
    CommandInfo{code::ReadLiveFrame, "ReadLiveFrame", Layout::None, 0},
    CommandInfo{code::Identify, "Identify", Layout::None, 0},
    CommandInfo{code::SwitchToPetrol, "SwitchToPetrol", Layout::None, 0},
    CommandInfo{code::SwitchToAuto, "SwitchToAuto", Layout::None, 0},
    CommandInfo{code::SwitchToGas, "SwitchToGas", Layout::None, 0},
    CommandInfo{code::ClearErrors, "ClearErrors", Layout::None, 0},
    CommandInfo{code::SetInjectorTestMask, "SetInjectorTestMask", Layout::Word, 0},
    CommandInfo{code::ParamSelect, "ParamSelect", Layout::Index, kLastParam},
    CommandInfo{code::ParamStore, "ParamStore", Layout::IndexWord, kLastParam},
    CommandInfo{code::ParamSet, "ParamSet", Layout::IndexWord, kLastParam},
    CommandInfo{code::ParamRead, "ParamRead", Layout::Index, kLastParam},
    CommandInfo{code::PointSet, "PointSet", Layout::IndexWord, kLastPoint},
    CommandInfo{code::PointRead, "PointRead", Layout::Index, kLastPoint},
    CommandInfo{code::GridCellSet, "GridCellSet", Layout::CellByte, kLastRow},
    CommandInfo{code::GridCellRead, "GridCellRead", Layout::Cell, kLastRow},
    CommandInfo{code::MapWordSelect, "MapWordSelect", Layout::Index, kLastMapWord},
    CommandInfo{code::MapWordStore, "MapWordStore", Layout::IndexWord, kLastMapWord},
    CommandInfo{code::StdMapSet, "StdMapSet", Layout::IndexTwiceByte, kLastStdCell},
    CommandInfo{code::StdMapRead, "StdMapRead", Layout::IndexTwice, kLastStdCell},
    CommandInfo{code::TempPointSet, "TempPointSet", Layout::IndexTwiceByte, kTempPointCount - 1},
    CommandInfo{code::TempPointRead, "TempPointRead", Layout::IndexTwice, kTempPointCount - 1},
    CommandInfo{code::TempCorrSet, "TempCorrSet", Layout::IndexTwiceByte, kTempCorrCount - 1},
    CommandInfo{code::TempCorrRead, "TempCorrRead", Layout::IndexTwice, kTempCorrCount - 1},
    CommandInfo{code::LambdaSet, "LambdaSet", Layout::IndexWord, kLastLambda},
    CommandInfo{code::LambdaRead, "LambdaRead", Layout::Index, kLastLambda},
    CommandInfo{code::CorrWordSelect, "CorrWordSelect", Layout::Index, kLastCorrWord},
    CommandInfo{code::CorrWordStore, "CorrWordStore", Layout::IndexWord, kLastCorrWord},
    CommandInfo{code::RecordWordSelect, "RecordWordSelect", Layout::Index, kLastRecordWord},
    CommandInfo{code::RecordWordStore, "RecordWordStore", Layout::IndexWord, kLastRecordWord},
    CommandInfo{code::RecordWordRead, "RecordWordRead", Layout::Index, kLastRecordWord},
};

constexpr bool CodesAreUnique() {
    for (std::size_t i = 0; i < kCommands.size(); ++i)
        for (std::size_t j = i + 1; j < kCommands.size(); ++j)
            if (kCommands[i].code == kCommands[j].code) return false;
    return true;
}
static_assert(CodesAreUnique(), "two commands share a code");

constexpr const CommandInfo* Find(std::uint8_t c) {
    for (const auto& info : kCommands)
        if (info.code == c) return &info;
    return nullptr;
}

// Which of A, B, C a layout gives a meaning to (bit 0 = A).
constexpr unsigned UsedBytes(Layout layout) {
    switch (layout) {
        case Layout::None: return 0b000;
        case Layout::Word: return 0b110;
        case Layout::Index: return 0b001;
        case Layout::IndexTwice:
        case Layout::Cell: return 0b011;
        case Layout::IndexWord:
        case Layout::IndexTwiceByte:
        case Layout::CellByte: return 0b111;
    }
    return 0b111;
}

std::string HexByte(std::uint8_t v) {
    char b[8];
    std::snprintf(b, sizeof b, "0x%02X", v);
    return b;
}

std::string HexWord(std::uint8_t high, std::uint8_t low) {
    char b[8];
    std::snprintf(b, sizeof b, "0x%02X%02X", high, low);
    return b;
}

std::string Num(std::uint8_t v) { return std::to_string(v); }

void Note(std::string& out, const std::string& text) { out += " [" + text + ']'; }

std::string Arguments(const CommandInfo& info, const Frame& f) {
    const auto a = f[1], b = f[2], c = f[3];
    switch (info.layout) {
        case Layout::None: return {};
        case Layout::Word: return ' ' + HexWord(b, c);
        case Layout::Index:
        case Layout::IndexTwice: return ' ' + Num(a);
        case Layout::IndexWord: return ' ' + Num(a) + " = " + HexWord(b, c);
        case Layout::IndexTwiceByte: return ' ' + Num(a) + " = " + Num(c);
        case Layout::Cell: return " row " + Num(a) + " col " + Num(b);
        case Layout::CellByte: return " row " + Num(a) + " col " + Num(b) + " = " + Num(c);
    }
    return {};
}

void ArgumentNotes(std::string& out, const CommandInfo& info, const Frame& f) {
    const auto a = f[1], b = f[2];
    const bool cell = info.layout == Layout::Cell || info.layout == Layout::CellByte;
    const bool twice = info.layout == Layout::IndexTwice || info.layout == Layout::IndexTwiceByte;
    if ((UsedBytes(info.layout) & 1u) && a > info.lastIndex)
        Note(out, (cell ? "row " : "index ") + Num(a) + " beyond " + Num(info.lastIndex));
    if (cell && b > kLastColumn) Note(out, "col " + Num(b) + " beyond " + Num(kLastColumn));
    if (twice && b != a) Note(out, "repeated index " + Num(b) + " differs");
    static constexpr std::array<char, 3> kByteNames{'A', 'B', 'C'};
    for (unsigned i = 0; i < 3; ++i) {
        const auto v = f[i + 1];
        if ((UsedBytes(info.layout) & (1u << i)) || v == 0) continue;
        Note(out, std::string(1, kByteNames[i]) + " = " + HexByte(v) + " unused");
    }
}

}  // namespace

std::string DescribeFrame(const Frame& frame) {
    std::string out;
    if (const auto* info = Find(frame[0])) {
        out = std::string(info->name) + Arguments(*info, frame);
        ArgumentNotes(out, *info, frame);
    } else {
        out = "unknown code " + HexByte(frame[0]);
        if (frame[0] >= 0x20 && frame[0] < 0x7F) out += std::string(" '") + static_cast<char>(frame[0]) + '\'';
    }
    const auto sum = static_cast<std::uint8_t>(frame[0] + frame[1] + frame[2] + frame[3]);
    if (frame[4] != sum) Note(out, "checksum " + HexByte(frame[4]) + ", should be " + HexByte(sum));
    if (frame[5] != kTerminator) Note(out, "terminator " + HexByte(frame[5]) + ", should be ':'");
    return out;
}

}  // namespace sequaflow::link
