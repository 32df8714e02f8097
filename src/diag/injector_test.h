#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "diag/error_list.h"
#include "link/link.h"

// The injector test: the controller keeps a mask of switched-off gas injectors in the low byte of live
// word 28 (bit n-1 = injector n); the tool toggles one bit of the word as last received and sends it whole.
namespace sequaflow::diag {

namespace text {
inline constexpr int InjectorOn = 10601;       // "Włączony"
inline constexpr int InjectorOff = 10602;      // "Wyłączony"
inline constexpr int InjectorsWarning = 10606;  // "Uwaga wtryskiwacz(e)"
inline constexpr int InjectorsSwitchedOff = 10607;  // "zostały wyłączone, kontynuować"
}  // namespace text

inline constexpr int kTestInjectors = 8;

// Whether injector 1..8 is switched off in the mask word.
bool InjectorSwitchedOff(std::uint16_t testWord, int injector);
// The word with injector 1..8's bit inverted; the high byte stays as it is.
std::uint16_t ToggledTestWord(std::uint16_t testWord, int injector);

// Toggles injector 1..8 in `testWord` (the tool's copy of live word 28) and sends the whole word. Without a
// controller on the line nothing is sent and the word is left alone, so the switches go on showing what the
// controller last reported. Returns whether the mask went out.
bool ToggleInjectorTest(link::Link& link, std::uint16_t& testWord, int injector);

// The caption text id of a switch: "Wyłączony" while its injector is off, "Włączony" otherwise.
int SwitchCaptionId(bool switchedOff);

std::vector<int> SwitchedOffInjectors(std::uint16_t testWord);
// The question before leaving the diagnostics page: the warning text, a space, each switched-off injector's
// digit and a space, one more space and the closing text. Empty when every injector is on.
std::string LeaveWarningText(const std::vector<int>& switchedOff, const TextLookup& text);

}  // namespace sequaflow::diag
