#include "diag/injector_test.h"

#include "link/commands.h"

namespace sequaflow::diag {

namespace {

bool ValidInjector(int injector) { return injector >= 1 && injector <= kTestInjectors; }

}  // namespace

bool InjectorSwitchedOff(std::uint16_t testWord, int injector) {
    return ValidInjector(injector) && (testWord & (1u << (injector - 1))) != 0;
}

std::uint16_t ToggledTestWord(std::uint16_t testWord, int injector) {
    if (!ValidInjector(injector)) return testWord;
    return static_cast<std::uint16_t>(testWord ^ (1u << (injector - 1)));
}

bool ToggleInjectorTest(link::Link& link, std::uint16_t& testWord, int injector) {
    if (!ValidInjector(injector) || !link.portOpen() || !link.connected()) return false;
    testWord = ToggledTestWord(testWord, injector);
    link::SetInjectorTestMask(link, testWord);
    return true;
}

int SwitchCaptionId(bool switchedOff) { return switchedOff ? text::InjectorOff : text::InjectorOn; }

std::vector<int> SwitchedOffInjectors(std::uint16_t testWord) {
    return InjectorNumbers(static_cast<std::uint8_t>(testWord & 0xFF));
}

std::string LeaveWarningText(const std::vector<int>& switchedOff, const TextLookup& text) {
    if (switchedOff.empty()) return {};
    std::string s = text(text::InjectorsWarning) + " ";
    for (int n : switchedOff) s += std::to_string(n) + " ";
    return s + " " + text(text::InjectorsSwitchedOff);
}

}  // namespace sequaflow::diag
