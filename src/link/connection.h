#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/link.h"
#include "link/port_table.h"

namespace sequaflow::link {

inline constexpr std::string_view kCaptionPrefix = "Kestra sequaflow system - V 2.20 (16.02.2010)";
inline constexpr std::string_view kDetectionTag = "v.7.3.0D Meridian";
inline constexpr int kAutoConnectIntervalMs = 100;
inline constexpr std::uint32_t kExtraAttempts = 5;

// Window captions once connected: by the menu ("... H.67 S.37") and by detection ("...v.7.3.0D Meridian H.67 S.37").
std::string ManualCaption(std::uint8_t hardware, std::uint8_t software);
std::string DetectionCaption(std::uint8_t hardware, std::uint8_t software);

// Controller data texts: "d.4", "S.37", "3-4cyl." (or "8" for eight cylinders and more).
std::string DeviceText(std::uint8_t hardware);
std::string SoftwareText(std::uint8_t software);
std::string CylinderText(std::uint8_t hardware);

enum class ConnectOutcome { Connected, PortFailed, NoController };

struct ConnectResult {
    ConnectOutcome outcome = ConnectOutcome::NoController;
    std::optional<PortError> portError;  // the system's reason when the port did not open
};

struct DetectTick {
    bool connected = false;
    std::optional<std::string> status;  // new text of the status field ("COM 3. 2"), when the tick sets it
    int checkedPort = 0;                // index of the port entry to show checked
};

// Finding and identifying the controller, with no user interface: the GUI and the CLI drive it and show
// the results (messages, captions, the status window, the check marks).
class ConnectionManager {
public:
    ConnectionManager(Link& link, const PortTable& ports) : link_(link), ports_(ports) {}

    // Pause 20 ms, `Identify`, wait 5; on a valid reply stores the bytes, sets connected and the caption.
    bool IdentificationAttempt(bool byDetection);
    // A port chosen by hand: close, open, identify; closes again when nobody answers.
    ConnectResult ConnectToPort(int index);
    // Closes the port if open and takes the device of the current port index.
    void SelectPortByIndex();
    // One step of the automatic detection, every 100 ms while it runs.
    DetectTick AutoConnectTick();
    // The part of starting detection that is not the timer or the window.
    void StartAutoDetect();

    int portIndex() const { return portIndex_; }
    void setPortIndex(int index) { portIndex_ = static_cast<std::uint8_t>(index % kPortCount); }
    std::uint32_t attempts() const { return attempts_; }
    std::uint8_t hardware() const { return hardware_; }
    std::uint8_t software() const { return software_; }
    const std::string& caption() const { return caption_; }
    std::optional<PortError> lastOpenError() const { return lastOpenError_; }

private:
    bool openCurrent();
    void advancePort();

    Link& link_;
    const PortTable& ports_;
    std::uint8_t portIndex_ = 0;
    std::uint32_t attempts_ = 0;
    std::uint8_t hardware_ = 0;
    std::uint8_t software_ = 0;
    std::string caption_{kCaptionPrefix};
    std::optional<PortError> lastOpenError_;
};

}  // namespace sequaflow::link
