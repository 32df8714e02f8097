#include "link/connection.h"

#include "link/commands.h"

namespace sequaflow::link {

std::string ManualCaption(std::uint8_t hardware, std::uint8_t software) {
    return std::string(kCaptionPrefix) + " H." + std::to_string(hardware) + " S." + std::to_string(software);
}

std::string DetectionCaption(std::uint8_t hardware, std::uint8_t software) {
    return std::string(kCaptionPrefix) + std::string(kDetectionTag) + " H." + std::to_string(hardware) + " S." +
           std::to_string(software);
}

std::string DeviceText(std::uint8_t hardware) { return "d." + std::to_string((hardware & 0x0F) + 1); }

std::string SoftwareText(std::uint8_t software) { return "S." + std::to_string(software); }

std::string CylinderText(std::uint8_t hardware) {
    const int n = hardware >> 4;
    if (n >= 8) return std::to_string(n);
    return std::to_string(n - 1) + "-" + std::to_string(n) + "cyl.";
}

bool ConnectionManager::IdentificationAttempt(bool byDetection) {
    link_.pause(20);
    const auto id = ReadIdentification(link_);
    if (!id) {
        link_.setReplyComplete(false);
        return false;
    }
    hardware_ = id->hardware;
    software_ = id->software;
    caption_ = byDetection ? DetectionCaption(hardware_, software_) : ManualCaption(hardware_, software_);
    link_.setReplyComplete(true);
    link_.setConnected(true);
    return true;
}

bool ConnectionManager::openCurrent() {
    auto opened = link_.openPort();
    if (opened.ok()) {
        lastOpenError_.reset();
        return true;
    }
    lastOpenError_ = opened.error();
    return false;
}

ConnectResult ConnectionManager::ConnectToPort(int index) {
    link_.setPortName(ports_.path(index));
    if (link_.portOpen()) link_.closePort();
    if (!openCurrent()) return {ConnectOutcome::PortFailed, lastOpenError_};
    if (IdentificationAttempt(false)) return {ConnectOutcome::Connected, std::nullopt};
    if (link_.portOpen()) link_.closePort();
    return {ConnectOutcome::NoController, std::nullopt};
}

void ConnectionManager::SelectPortByIndex() {
    if (link_.portOpen()) link_.closePort();
    link_.setPortName(ports_.path(portIndex_));
}

void ConnectionManager::advancePort() {
    portIndex_ = portIndex_ < kPortCount - 1 ? static_cast<std::uint8_t>(portIndex_ + 1) : 0;
    SelectPortByIndex();
}

void ConnectionManager::StartAutoDetect() {
    link_.setConnected(false);
    attempts_ = 0;
}

DetectTick ConnectionManager::AutoConnectTick() {
    DetectTick tick;
    if (link_.portName().empty()) link_.setPortName(ports_.path(portIndex_));
    if (link_.portOpen()) {
        if (attempts_ >= kExtraAttempts) {
            link_.closePort();
            attempts_ = 0;
            advancePort();
        } else {
            ++attempts_;
            tick.connected = IdentificationAttempt(true);
            tick.status = "COM " + std::to_string(portIndex_ + 1) + ". " + std::to_string(attempts_);
        }
    }
    if (!tick.connected && !link_.portOpen()) {
        attempts_ = 0;
        if (!openCurrent()) {
            advancePort();
        } else {
            tick.connected = IdentificationAttempt(true);
        }
    }
    tick.checkedPort = portIndex_;
    return tick;
}

}  // namespace sequaflow::link
