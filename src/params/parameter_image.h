#pragma once

#include <array>
#include <bitset>
#include <cstdint>

#include "params/factory_defaults.h"
#include "params/parameter_numbers.h"

namespace sequaflow::params {

inline constexpr int kSlotCount = 68;

// Shadow copies of the bit-field words: editors change the shadow, then copy it into the parameter.
inline constexpr int kFlags1Shadow = 64;
inline constexpr int kFlags2Shadow = 65;
inline constexpr int kFlags3Shadow = 66;
inline constexpr int kInjectorSelectionShadow = 67;

// The words whose bits are set one field at a time.
enum class FlagsWord { First, Second, Third, InjectorSelection };

struct BitField {
    FlagsWord word;
    int low;    // lowest bit
    int width;  // number of bits
};

namespace field {
// First flags word (pn::FirstFlags).
inline constexpr BitField InjectorType{FlagsWord::First, 4, 4};
inline constexpr BitField TankSensorType{FlagsWord::First, 8, 2};
inline constexpr BitField TankRising{FlagsWord::First, 10, 1};
inline constexpr BitField SpeedSignalWeak{FlagsWord::First, 11, 1};
inline constexpr BitField FastClock{FlagsWord::First, 12, 1};
inline constexpr BitField InjectorHeating{FlagsWord::First, 13, 1};
inline constexpr BitField SpeedLimitOn{FlagsWord::First, 14, 1};
inline constexpr BitField ReducerVacuum{FlagsWord::First, 15, 1};
// Second flags word (pn::SecondFlags).
inline constexpr BitField ReducerCutoff{FlagsWord::Second, 0, 1};
inline constexpr BitField GasCutoff{FlagsWord::Second, 1, 1};
inline constexpr BitField MapMode{FlagsWord::Second, 2, 2};
inline constexpr BitField BuzzerOff{FlagsWord::Second, 4, 1};
inline constexpr BitField LowSpeedFilterFirst{FlagsWord::Second, 5, 1};
inline constexpr BitField TemperatureMapOn{FlagsWord::Second, 6, 1};
inline constexpr BitField LambdaSwitches{FlagsWord::Second, 7, 5};  // bits 7..11
inline constexpr BitField ReducerSensorK{FlagsWord::Second, 13, 1};
inline constexpr BitField Turbo{FlagsWord::Second, 14, 1};
inline constexpr BitField FuelCng{FlagsWord::Second, 15, 1};
// Third flags word (pn::ThirdFlags).
inline constexpr BitField LowSpeedFilterSecond{FlagsWord::Third, 3, 1};
inline constexpr BitField SwitchingSequence{FlagsWord::Third, 4, 3};
}  // namespace field

// Parameters 3, 5, 48, 49 and 52 are signed 16-bit values.
bool IsSignedParameter(int n);
// A 16-bit word from the controller or a file as the slot holds it (sign-extended for signed parameters).
std::int32_t SlotFromWord(int n, std::uint16_t word);
int ParameterOfShadow(FlagsWord word);
int ShadowOf(FlagsWord word);

// The tool's copy of the controller's parameter set plus the four shadow copies.
class ParameterImage {
public:
    std::int32_t slot(int n) const { return InRange(n) ? slots_[static_cast<std::size_t>(n)] : 0; }
    void setSlot(int n, std::int32_t value);
    // Takes a word as read from the controller or a file, sign-extending the signed parameters.
    void storeWord(int n, std::uint16_t word) { setSlot(n, SlotFromWord(n, word)); }
    // What goes on the wire: the low 16 bits of the slot.
    std::uint16_t wire(int n) const { return static_cast<std::uint16_t>(slot(n) & 0xFFFF); }

    // Whether the slot holds a value that was read, loaded or set since start-up (the start-up zero is not
    // one): a shadow that holds nothing must never be sent over the controller's value.
    bool held(int n) const { return InRange(n) && held_[static_cast<std::size_t>(n)]; }

    // Bit fields are read from the shadow copy, which is what the editors work on.
    std::uint32_t field(BitField f) const;
    // Puts the value into the shadow copy, then copies the whole shadow into its parameter.
    void setField(BitField f, std::uint32_t value);
    // Copies the parameter into its shadow (after a read or a load).
    void refreshShadow(FlagsWord word);
    // Copies the shadow into its parameter.
    void commitShadow(FlagsWord word);

    bool fastClock() const { return field(field::FastClock) != 0; }
    int ignitionType() const { return slot(pn::IgnitionType); }

private:
    static bool InRange(int n) { return n >= 0 && n < kSlotCount; }
    std::array<std::int32_t, kSlotCount> slots_{};
    std::bitset<kSlotCount> held_;
};

}  // namespace sequaflow::params
