#pragma once

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <array>
#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "i18n/message_store.h"
#include "link/controller_link.h"
#include "link/posix_serial_port.h"
#include "params/program_state.h"
#include "live/live_frame.h"
#include "support/pty_peer.h"
#include "support/scripted_port.h"
#include "ui/app_settings.h"
#include "ui/main_window.h"
#include "ui/qt_pacer.h"

namespace sequaflow::testing_support {

// A scripted controller whose answers the test switches on and off.
struct Peer {
    std::atomic<bool> answerLive{true};
    std::atomic<std::uint32_t> storedErrors{0};
    std::atomic<std::uint32_t> fuelState{0};
    std::atomic<std::uint32_t> petrolTicks{0};
    std::array<std::atomic<std::uint16_t>, 64> params{};
    Peer() { params[47] = 8; }  // map mode 2
    testing_support::PtyPeer pty{[this](const std::vector<std::uint8_t>& f) -> std::vector<std::uint8_t> {
        switch (f[0]) {
            case 'I': return {'I', 0x43, 37, 0, ':'};
            case 'd': return testing_support::WordReply('d', f[1], params[f[1] & 63]);
            case '}':
            case 'L':
            case '2': return testing_support::WordReply('d', f[1], 100);
            case 'P': return testing_support::WordReply('e', f[1], 0);
            case 'V': {
                if (!answerLive) return {};
                live::LiveWords w{};
                w[live::word::Period] = 9216;
                w[live::word::ErrorsStored] = storedErrors;
                w[live::word::FuelState] = fuelState;
                w[live::word::PetrolTime1] = petrolTicks;
                const auto frame = live::EncodeLiveFrame(w);
                return {frame.begin(), frame.end()};
            }
            default: return {};
        }
    }};

    std::vector<char> codes() const {
        std::vector<char> out;
        for (const auto& f : pty.frames()) out.push_back(static_cast<char>(f[0]));
        return out;
    }
};

inline const std::string kNoDevice = "/nonexistent/tty";

// The program's start directory for one test: empty but for the shipped language files, so the start-up
// language loads and whatever the program writes (jezyk.txt ...) stays in the test's own folder.
struct StartDir {
    QTemporaryDir dir;
    QString previous = QDir::currentPath();
    StartDir() {
        QFile::link(QStringLiteral(SEQUAFLOW_SOURCE_DIR "/lang"), dir.path() + QStringLiteral("/lang"));
        QDir::setCurrent(dir.path());
    }
    ~StartDir() { QDir::setCurrent(previous); }
};

struct Rig {
    StartDir start;
    ui::AppSettings settings{start.dir.path() + QStringLiteral("/settings.ini")};
    ui::QtPacer pacer;
    std::unique_ptr<link::ControllerLink> line;
    params::ProgramState state;
    i18n::MessageStore messages;
    std::unique_ptr<ui::MainWindow> window;

    // `device` stands behind port entry `index`; every other entry leads nowhere. The window connects to it
    // at its first activation unless `connectAtStart` is false.
    explicit Rig(const std::string& device, int index = 0, bool connectAtStart = true) {
        link::PortTable ports;
        for (int i = 0; i < link::kPortCount; ++i) ports.setPath(i, "/nonexistent/tty" + std::to_string(i));
        ports.setPath(index, device);
        line = std::make_unique<link::ControllerLink>(std::make_unique<link::PosixSerialPort>(), pacer, ports);
        window = std::make_unique<ui::MainWindow>(*line, state, messages, settings);
        if (device != kNoDevice && connectAtStart) window->setStartPort(index);
    }
    link::Link& link() { return line->link(); }
    QString status() const { return window->findChild<QLineEdit*>(QStringLiteral("EditStatus"))->text(); }
};

}  // namespace sequaflow::testing_support
