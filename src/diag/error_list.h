#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "live/live_frame.h"

// The controller's fault state as the error page lists it. Nothing here asks the controller anything: the
// list only reads the words of the last accepted live frame.
namespace sequaflow::diag {

// A system text by its language id (the caller's message store).
using TextLookup = std::function<std::string(int id)>;

// Which byte of the injector-fault word names the injectors a fault concerns.
enum class InjectorByte : std::uint8_t { None, Gas, Petrol };

struct FaultRow {
    int number;         // 1..12, the order of the list
    int bit;            // in the current and the stored word alike
    int currentTextId;  // text in the list of present faults
    int storedTextId;   // text in the list of stored faults
    InjectorByte injectors;
};

// Fault 9 sits on bit 9 and fault 10 on bit 8; bits 12..15 carry no fault.
inline constexpr std::array<FaultRow, 12> kFaults = {{
    {1, 0, 12057, 12057, InjectorByte::None},
    {2, 1, 12058, 12058, InjectorByte::None},
    {3, 2, 12059, 12059, InjectorByte::None},
    {4, 3, 12060, 12060, InjectorByte::None},
    {5, 4, 12061, 12061, InjectorByte::None},
    {6, 5, 12062, 12062, InjectorByte::None},
    {7, 6, 12063, 12063, InjectorByte::None},
    {8, 7, 12064, 12064, InjectorByte::None},
    {9, 9, 12065, 12065, InjectorByte::None},
    {10, 8, 12066, 12066, InjectorByte::None},
    {11, 10, 12067, 12067, InjectorByte::Gas},
    {12, 11, 12069, 12068, InjectorByte::Petrol},
}};

namespace text {
inline constexpr int Status = 10114;          // "Status"
inline constexpr int ErrorsPresent = 12054;   // heading of the present faults
inline constexpr int StoredErrors = 12055;    // heading of the stored faults
inline constexpr int NoErrors = 12056;        // "Brak Błędów"
inline constexpr int Fault = 12050;           // lamp caption with a fault
inline constexpr int Healthy = 12051;         // lamp caption without
}  // namespace text

struct FaultEntry {
    int number = 0;
    int textId = 0;
    std::vector<int> injectors;  // 1..8, lowest first; only for faults 11 and 12 of the present list
};

struct ErrorList {
    bool any = false;  // the lamp is on and the list is red
    std::vector<FaultEntry> current;
    std::vector<FaultEntry> stored;
    std::vector<int> gasInjectors;     // low byte of the injector-fault word
    std::vector<int> petrolInjectors;  // high byte
};

// Injector numbers 1..8 of the bits set in a byte, lowest first.
std::vector<int> InjectorNumbers(std::uint8_t bits);

ErrorList BuildErrorList(std::uint16_t currentErrors, std::uint16_t storedErrors, std::uint16_t injectorFaults);
ErrorList BuildErrorList(const live::LiveWords& words);

// One line of the error memo: a system text, an empty line, or an injector number.
struct MemoLine {
    enum class Kind : std::uint8_t { Text, Empty, Injector } kind = Kind::Empty;
    int value = 0;  // the text id, or the injector number

    friend bool operator==(const MemoLine&, const MemoLine&) = default;
};

struct ErrorMemo {
    bool red = false;
    std::vector<MemoLine> lines;
};

// The memo of the list: "Status", the headings, each entry followed by an empty line; the injector numbers of
// a present fault 11 or 12 each on their own line right below its text.
ErrorMemo BuildErrorMemo(const ErrorList& list);
// What the memo shows right after a clear request: the black no-faults list, whatever the words say.
ErrorMemo ClearedErrorMemo();
// The memo as lines of text.
std::vector<std::string> MemoLines(const ErrorMemo& memo, const TextLookup& text);

// The lamp caption's text id.
int LampCaptionId(bool faults);

}  // namespace sequaflow::diag
