#pragma once

// The numbers of the controller's parameters (the address in a read or write request and the slot of the
// parameter image). Code names a parameter by one of these, never by a bare number. Numbers the tool only
// carries (9..11, 15, 17, 19, 25..29, 39, 62, 63) have no name.

namespace sequaflow::params::pn {

inline constexpr int Marker = 0;              // 43690 once the tool has written the whole set
inline constexpr int MixtureCorrection = 1;   // gas against petrol without a map, percent + 100
inline constexpr int MinGasOpening = 2;       // shortest gas injector opening, ticks
inline constexpr int IdleCorrection = 3;      // gas time correction at idle, ticks, signed
inline constexpr int CommonCycles = 4;        // cycles on both fuels at switch-over
inline constexpr int SwitchTemperature = 5;   // reducer temperature for gas, degrees C, signed
inline constexpr int HoldingCurrent = 6;      // injector holding current, percent x 15
inline constexpr int FullOpeningTime = 7;     // peak-current time of the gas injector, ticks
inline constexpr int MaxGasTime = 8;          // longest gas injection, ticks
inline constexpr int TurboBoost = 12;         // boost setting, scroll position + 100
inline constexpr int GasInjectionDelay = 13;  // gas injection after the petrol one, ticks
inline constexpr int SwitchSpeed = 14;        // engine speed for gas, as an ignition period
inline constexpr int GasOnDelay = 16;         // valves open to first gas injection, ms
inline constexpr int ReturnPressure = 18;     // pressure below which petrol returns, raw
inline constexpr int ReturnDelay = 20;        // delay of that return, 10 ms steps
inline constexpr int IgnitionType = 21;       // ignition system; selects the engine-speed conversion
inline constexpr int FirstFlags = 22;         // first flags word
inline constexpr int ControlAlgorithm = 23;
inline constexpr int BuzzerPressure = 24;     // low-tank buzzer pressure, raw
inline constexpr int FirstTankThreshold = 30; // tank sensor thresholds 30..33
inline constexpr int TankThresholdCount = 4;
inline constexpr int TankRefresh = 34;        // tank indicator update period, 10 ms steps
inline constexpr int PetrolSecondsHigh = 35;  // work time on petrol, high word
inline constexpr int PetrolSecondsLow = 36;
inline constexpr int GasSecondsHigh = 37;     // work time on gas, high word
inline constexpr int GasSecondsLow = 38;
inline constexpr int SpeedSignalFilter = 40;
inline constexpr int HeatingTemperature = 41; // switch temperature - 1: injector heating below it
inline constexpr int HeatingDuration = 42;
inline constexpr int HeatingPulse = 43;
inline constexpr int SpeedLimit = 44;         // engine-speed limit on gas, as an ignition period
inline constexpr int PetrolInjectionType = 45;
inline constexpr int PressureFilter = 46;
inline constexpr int SecondFlags = 47;        // second flags word
inline constexpr int ReducerCutoffTemperature = 48;  // signed
inline constexpr int GasCutoffTemperature = 49;      // signed
inline constexpr int PetrolSignalFilter = 50;
inline constexpr int ExtraCorrectionInjectors = 51;  // injector selection bits of the extra idle correction
inline constexpr int ExtraCorrectionTime = 52;       // ticks, signed
inline constexpr int SpeedDrop = 53;          // engine-speed drop of the falling switch mode, as a period
inline constexpr int ThirdFlags = 54;         // third flags word
inline constexpr int Lambda1Type = 55;
inline constexpr int Lambda2Type = 56;
inline constexpr int HeatingStrength = 57;
inline constexpr int ControlSettings = 58;    // standard or own
inline constexpr int FilterTimeStep = 59;     // low-speed filter, ticks
inline constexpr int FilterSpeed = 60;        // low-speed filter, as an ignition period
inline constexpr int FilterInjectionTime = 61;  // low-speed filter, ticks

}  // namespace sequaflow::params::pn
