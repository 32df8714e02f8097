#pragma once

#include <array>

#include "link/link.h"
#include "maps/map_model.h"
#include "params/parameter_image.h"
#include "params/progress.h"

// Reading the parameter set from the controller.
namespace sequaflow::params {

struct ParameterReadReport {
    std::array<bool, kParameterCount> valid{};
    // Parameter 0 is the programmed marker or 0 (a silent controller leaves it at 0 and is not reported).
    bool programmed = true;
    // Stopped early (line lost, cancelled): the slots not reached keep what they held.
    SequenceResult sequence;
    int failures() const;
};

// Discards stale input, waits 20 ms, then reads parameters 0..63 once each (no retry): an accepted reply
// replaces the slot (signed parameters sign-extended), a rejected one leaves it. A programmed controller's
// first and second flags words are copied into their shadows. Nothing is written.
ParameterReadReport ReadParameterSet(link::Link& link, ParameterImage& image, const SequenceControl& control = {});

// When the controller is not programmed and no factory reset follows, the flags-word shadows still hold
// whatever they held before; they take the words just read (where the reply was accepted), so the writes
// that every read makes never send a first flags word the controller did not report.
void AdoptReadFlagsWords(ParameterImage& image, const ParameterReadReport& report);

// What the screen fill takes from the parameters after a read and after a file view alike: the shadows of 51
// and 47 and the map cell maximum from the turbo flag. An edit that follows builds its word on the values
// shown, not on an earlier read.
void RefreshShownShadows(ParameterImage& image, maps::MapModel& model);

// After a read: those, and the shadow of 54. A viewed file leaves that one as the last read set it, as it
// leaves the lists that show its bits (the switching sequence, the low-speed filter).
void RefreshShadowsAfterRead(ParameterImage& image, maps::MapModel& model);

// The writes of every read: the engine-speed limit bit and the reducer-vacuum bit of the first flags word
// are set and parameter 22 is written after each. Returns false and sends nothing when the first flags word
// holds no value read or set.
bool ApplyReadFlagWrites(link::Link& link, ParameterImage& image);

}  // namespace sequaflow::params
