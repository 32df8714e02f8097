#include "live/readings.h"

#include "link/commands.h"
#include "live/conversions.h"

namespace sequaflow::live {

std::string MsText(std::uint32_t ticks, bool fastClock, char decimalSeparator) {
    return FormatFixed(TicksToMs(ticks, fastClock), 4, 2, decimalSeparator) + "ms";
}

int StripSegment(std::uint32_t w, const std::array<std::uint32_t, 11>& p) {
    int segment = 0;
    bool found = false;
    if (p[0] >= w) {
        segment = 0;
        found = true;
    }
    for (int k = 1; k <= 10; ++k) {
        if (p[static_cast<std::size_t>(k - 1)] < w && w <= p[static_cast<std::size_t>(k)]) {
            segment = k;
            found = true;
        }
    }
    if (p[10] < w) {
        segment = 11;
        found = true;
    }
    return found ? segment : 0;
}

ReadingsView ComputeReadings(const LiveWords& w, const ReadingsInputs& in) {
    const char sep = in.decimalSeparator;
    ReadingsView v;
    v.onGas = w[word::FuelState] == 1;
    v.tankPicture = v.onGas ? in.tankLevel : 0;
    v.errors = ErrorLampOn(w[word::ErrorsCurrent], w[word::ErrorsStored]);

    v.rpm = PeriodToRpm(w[word::Period], in.ignitionType);
    v.rpmPlain = std::to_string(v.rpm);
    v.rpmText = v.rpmPlain + "rpm";
    v.rpmGauge = v.rpm * 0.001;

    v.pressureBar = RawToBar(w[word::Pressure]);
    v.pressurePlain = FormatFixed(v.pressureBar, 3, 2, sep);
    v.pressureText = v.pressurePlain + "Bar";

    // While on petrol the gas fields show zero, written with the same separator as every other time.
    const std::string zeroMs = std::string("0") + sep + "00ms";
    for (int c = 0; c < kCylinders; ++c) {
        const auto i = static_cast<std::size_t>(c);
        v.petrolTicks[i] = w[static_cast<std::size_t>(PetrolTimeWord(c))];
        v.petrolText[i] = MsText(v.petrolTicks[i], in.fastClock, sep);
        v.gasTicks[i] = v.onGas ? w[static_cast<std::size_t>(GasTimeWord(c))] : 0;
        v.gasText[i] = v.onGas ? MsText(v.gasTicks[i], in.fastClock, sep) : zeroMs;
    }
    v.correctionText = v.onGas ? GasCorrectionText(w[word::GasTime1], w[word::PetrolTime1], sep)
                               : std::string("00") + sep + "0%";

    v.stripMs = TicksToMs(w[word::PetrolTime1], in.fastClock);
    v.stripSegment = StripSegment(w[word::PetrolTime1], in.timePoints);

    v.reducerC = RawToCelsius(w[word::ReducerTemp]);
    v.gasC = RawToCelsius(w[word::GasTemp]);
    v.reducerText = std::to_string(v.reducerC) + "\u00B0C";
    v.gasTempText = std::to_string(v.gasC) + "\u00B0C";

    v.lambda1 = in.lambda1;
    v.lambda2 = in.lambda2;
    v.lambda1V = LambdaVolts(w[word::Lambda1]);
    v.lambda2V = LambdaVolts(w[word::Lambda2]);
    v.lambda1Text = FormatFixed(v.lambda1V, 3, 2, sep) + "V";
    v.lambda2Text = FormatFixed(v.lambda2V, 3, 2, sep) + "V";

    v.tankVoltsText = TankVoltsText(w[word::Tank]);
    return v;
}

TickOutcome ReadingsCycle::Tick(link::Link& link, LiveWords& words) {
    if (!link.connected() || !link.portOpen())
        return link.portOpen() ? TickOutcome::NotIdentified : TickOutcome::NotConnected;
    link::ReadLiveFrame(link);
    link.receiveWait(link::kLiveFrameSize);
    if (link.replyValid('V', 66)) {
        missed_ = 0;
        return DecodeLiveFrame(link.replyBuffer(), link.replyComplete(), words) ? TickOutcome::Accepted
                                                                                : TickOutcome::BadChecksum;
    }
    if (missed_ < kMaxMissed) {
        ++missed_;
        return TickOutcome::Missed;
    }
    return TickOutcome::MissedShowError;
}

bool ReadingsCycle::Refresh(link::Link& link, LiveWords& words) {
    link::ReadLiveFrame(link);
    link.receiveWait(link::kLiveFrameSize);
    return DecodeLiveFrame(link.replyBuffer(), link.replyComplete(), words);
}

}  // namespace sequaflow::live
