#pragma once

#include "link/link.h"
#include "link/pacer.h"
#include "link/serial_port.h"

namespace sequaflow::link {

// A link that reaches no controller: an operation run on it changes the program's state exactly as it would
// over the line, sends nothing and waits for nothing. Edits made while no controller is connected use it,
// so the screens and the image follow the edit and the controller is never sent a value half-way.
class OfflineLink {
public:
    OfflineLink() : link_(port_, pacer_) {}
    OfflineLink(const OfflineLink&) = delete;
    OfflineLink& operator=(const OfflineLink&) = delete;

    Link& link() {
        pacer_.clearPauses();  // nothing waits for them; keep the record from growing edit after edit
        return link_;
    }

private:
    class NoPort final : public SerialPort {
    public:
        Result<Ok, PortErrorCode> open(const std::string&) override {
            return Error<PortErrorCode>{PortErrorCode::NotFound, "no controller"};
        }
        void close() override {}
        bool isOpen() const override { return false; }
        bool setRts(bool) override { return false; }
        bool write(std::span<const std::uint8_t>) override { return false; }
        bool drain() override { return false; }
        std::optional<std::size_t> queued() override { return std::nullopt; }
        std::size_t read(std::span<std::uint8_t>) override { return 0; }
        std::optional<PortError> failure() const override { return std::nullopt; }
    };

    NoPort port_;
    VirtualPacer pacer_;
    Link link_;
};

}  // namespace sequaflow::link
