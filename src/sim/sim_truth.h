#pragma once

#include <string>

#include "link/result.h"
#include "sim/fault_injector.h"
#include "sim/stores.h"

namespace sequaflow::sim {

// What the simulated controller holds and what the line did to its replies, as a checker outside the
// process sees it: a fault-free view next to the faulty line.
struct SimTruth {
    RunningValues running;
    PersistentStores stores;
    FaultInjector::Counts faults;
    std::uint64_t vanished = 0;  // times the terminal went away and came back

    bool operator==(const SimTruth&) const;
};

// Text of one "name v v v" line per array, decimal words, after a header line.
std::string FormatSimTruth(const SimTruth& truth);
[[nodiscard]] Result<SimTruth, std::string> ParseSimTruth(const std::string& text);
// One line for people: "drop=3 truncate=1 ...".
std::string FaultCountsText(const FaultInjector::Counts& counts);

}  // namespace sequaflow::sim
