#include "params/parameter_image.h"

namespace sequaflow::params {

bool IsSignedParameter(int n) {
    return n == pn::IdleCorrection || n == pn::SwitchTemperature || n == pn::ReducerCutoffTemperature ||
           n == pn::GasCutoffTemperature || n == pn::ExtraCorrectionTime;
}

std::int32_t SlotFromWord(int n, std::uint16_t word) {
    if (IsSignedParameter(n)) return static_cast<std::int16_t>(word);
    return word;
}

int ParameterOfShadow(FlagsWord word) {
    switch (word) {
        case FlagsWord::First: return pn::FirstFlags;
        case FlagsWord::Second: return pn::SecondFlags;
        case FlagsWord::Third: return pn::ThirdFlags;
        case FlagsWord::InjectorSelection: return pn::ExtraCorrectionInjectors;
    }
    return pn::FirstFlags;
}

int ShadowOf(FlagsWord word) {
    switch (word) {
        case FlagsWord::First: return kFlags1Shadow;
        case FlagsWord::Second: return kFlags2Shadow;
        case FlagsWord::Third: return kFlags3Shadow;
        case FlagsWord::InjectorSelection: return kInjectorSelectionShadow;
    }
    return kFlags1Shadow;
}

void ParameterImage::setSlot(int n, std::int32_t value) {
    if (!InRange(n)) return;
    slots_[static_cast<std::size_t>(n)] = value;
    held_.set(static_cast<std::size_t>(n));
}

std::uint32_t ParameterImage::field(BitField f) const {
    const auto word = static_cast<std::uint32_t>(slot(ShadowOf(f.word)));
    const std::uint32_t mask = (1u << f.width) - 1u;
    return (word >> f.low) & mask;
}

void ParameterImage::setField(BitField f, std::uint32_t value) {
    const int shadow = ShadowOf(f.word);
    const std::uint32_t mask = ((1u << f.width) - 1u) << f.low;
    auto word = static_cast<std::uint32_t>(slot(shadow));
    word = (word & ~mask) | ((value << f.low) & mask);
    // A few bits do not make a whole word: the shadow stays "not held" until it is read or set whole.
    slots_[static_cast<std::size_t>(shadow)] = static_cast<std::int32_t>(word);
    commitShadow(f.word);
}

void ParameterImage::refreshShadow(FlagsWord word) {
    const int param = ParameterOfShadow(word);
    const int shadow = ShadowOf(word);
    slots_[static_cast<std::size_t>(shadow)] = slot(param);
    held_[static_cast<std::size_t>(shadow)] = held(param);
}

void ParameterImage::commitShadow(FlagsWord word) {
    const int param = ParameterOfShadow(word);
    const int shadow = ShadowOf(word);
    slots_[static_cast<std::size_t>(param)] = slot(shadow);
    held_[static_cast<std::size_t>(param)] = held(shadow);
}

}  // namespace sequaflow::params
