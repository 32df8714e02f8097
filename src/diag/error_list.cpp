#include "diag/error_list.h"

#include "live/readings.h"

namespace sequaflow::diag {

std::vector<int> InjectorNumbers(std::uint8_t bits) {
    std::vector<int> numbers;
    for (int k = 0; k < 8; ++k)
        if (bits & (1u << k)) numbers.push_back(k + 1);
    return numbers;
}

ErrorList BuildErrorList(std::uint16_t currentErrors, std::uint16_t storedErrors, std::uint16_t injectorFaults) {
    ErrorList list;
    list.any = live::ErrorLampOn(currentErrors, storedErrors);
    list.gasInjectors = InjectorNumbers(static_cast<std::uint8_t>(injectorFaults & 0xFF));
    list.petrolInjectors = InjectorNumbers(static_cast<std::uint8_t>(injectorFaults >> 8));
    for (const auto& row : kFaults) {
        const std::uint16_t bit = static_cast<std::uint16_t>(1u << row.bit);
        if (currentErrors & bit) {
            FaultEntry e{row.number, row.currentTextId, {}};
            if (row.injectors == InjectorByte::Gas) e.injectors = list.gasInjectors;
            if (row.injectors == InjectorByte::Petrol) e.injectors = list.petrolInjectors;
            list.current.push_back(std::move(e));
        }
        if (storedErrors & bit) list.stored.push_back({row.number, row.storedTextId, {}});
    }
    return list;
}

ErrorList BuildErrorList(const live::LiveWords& words) {
    const auto word16 = [&](int index) { return static_cast<std::uint16_t>(words[static_cast<std::size_t>(index)]); };
    return BuildErrorList(word16(live::word::ErrorsCurrent), word16(live::word::ErrorsStored),
                          word16(live::word::InjectorFaults));
}

namespace {

MemoLine Text(int id) { return {MemoLine::Kind::Text, id}; }
MemoLine Empty() { return {MemoLine::Kind::Empty, 0}; }

}  // namespace

ErrorMemo ClearedErrorMemo() { return {false, {Text(text::Status), Empty(), Text(text::NoErrors), Empty()}}; }

ErrorMemo BuildErrorMemo(const ErrorList& list) {
    if (!list.any) return ClearedErrorMemo();
    ErrorMemo memo{true, {Text(text::Status), Empty(), Text(text::ErrorsPresent), Empty()}};
    for (const auto& e : list.current) {
        memo.lines.push_back(Text(e.textId));
        for (int n : e.injectors) memo.lines.push_back({MemoLine::Kind::Injector, n});
        memo.lines.push_back(Empty());
    }
    // The stored heading stands even when nothing is stored.
    memo.lines.push_back(Text(text::StoredErrors));
    memo.lines.push_back(Empty());
    for (const auto& e : list.stored) {
        memo.lines.push_back(Text(e.textId));
        memo.lines.push_back(Empty());
    }
    return memo;
}

std::vector<std::string> MemoLines(const ErrorMemo& memo, const TextLookup& text) {
    std::vector<std::string> lines;
    lines.reserve(memo.lines.size());
    for (const auto& line : memo.lines) {
        switch (line.kind) {
            case MemoLine::Kind::Text: lines.push_back(text(line.value)); break;
            case MemoLine::Kind::Empty: lines.emplace_back(); break;
            case MemoLine::Kind::Injector: lines.push_back(std::to_string(line.value)); break;
        }
    }
    return lines;
}

int LampCaptionId(bool faults) { return faults ? text::Fault : text::Healthy; }

}  // namespace sequaflow::diag
