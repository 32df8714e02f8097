#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <functional>
#include <atomic>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "i18n/message_store.h"
#include "link/controller_link.h"
#include "link/frame_log.h"
#include "link/pacer.h"
#include "link/posix_serial_port.h"
#include "live/live_frame.h"
#include "params/program_state.h"
#include "sim/controller.h"
#include "sim/sim_port.h"
#include "support/pty_peer.h"
#include "support/scripted_port.h"
#include "ui/app_settings.h"
#include "ui/connection_controller.h"
#include "ui/main_window.h"
#include "ui/qt_pacer.h"
#include "ui/readings_controller.h"

namespace sequaflow::testing_support {

// A scripted controller whose answers the test switches on and off. Atomic because on a pseudo-terminal the
// peer answers from its own thread.
struct ControllerScript {
    std::atomic<bool> answerLive{true};
    std::atomic<std::uint32_t> storedErrors{0};
    std::atomic<std::uint32_t> fuelState{0};
    std::atomic<std::uint32_t> petrolTicks{0};
    std::array<std::atomic<std::uint16_t>, 64> params{};
    std::atomic<int> silentParam{-1};  // the parameter whose read goes unanswered
    ControllerScript() { params[47] = 8; }  // map mode 2

    std::vector<std::uint8_t> answer(std::span<const std::uint8_t> f) const {
        switch (f[0]) {
            case 'I': return {'I', 0x43, 37, static_cast<std::uint8_t>('I' + 0x43 + 37), ':'};
            case 'd':
                if (f[1] == silentParam) return {};
                return WordReply('d', f[1], params[f[1] & 63]);
            case '}':
            case 'L':
            case '2': return WordReply('d', f[1], 100);
            case 'P': return WordReply('e', f[1], 0);
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
    }
};

// The script on a pseudo-terminal, for the smoke tests of the real serial port.
struct Peer : ControllerScript {
    PtyPeer pty{[this](const std::vector<std::uint8_t>& f) { return answer(f); }};
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

inline QString StatusField(QWidget* window) {
    return window->findChild<QLineEdit*>(QStringLiteral("EditStatus"))->text();
}

// Answers every modal dialog shown while it lives (a message box with `answer`, any other dialog with
// reject) and keeps its text, so a test never blocks on a box and can say which box came.
class DialogAnswerer final : public QObject {
public:
    explicit DialogAnswerer(QMessageBox::StandardButton answer = QMessageBox::Ok) : answer_(answer) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~DialogAnswerer() override { QCoreApplication::instance()->removeEventFilter(this); }

    void setAnswer(QMessageBox::StandardButton answer) { answer_ = answer; }
    // A dialog other than a message box for which this returns true has been answered by it (a field filled
    // and OK clicked, say) instead of being rejected. Called from inside the dialog's event loop.
    std::function<bool(QDialog*)> answerDialog;
    // Message box texts (a dialog of another kind by its class name), in the order they came.
    QStringList texts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* dialog = event->type() == QEvent::Show ? qobject_cast<QDialog*>(watched) : nullptr;
        if (dialog == nullptr || !dialog->isModal()) return false;
        auto* box = qobject_cast<QMessageBox*>(dialog);
        texts << (box != nullptr ? box->text() : QString::fromLatin1(dialog->metaObject()->className()));
        // Answered from inside the dialog's own event loop, once exec() has started it.
        QMetaObject::invokeMethod(
            dialog,
            [this, dialog, box, answer = answer_] {
                if (box != nullptr && box->button(answer) != nullptr) box->button(answer)->click();
                else if (box != nullptr || !answerDialog || !answerDialog(dialog)) dialog->reject();
            },
            Qt::QueuedConnection);
        return false;
    }

private:
    QMessageBox::StandardButton answer_;
};

// Opens only the one device path that has a controller behind it; every other port entry leads nowhere.
class OneDevicePort final : public link::SerialPort {
public:
    OneDevicePort(std::unique_ptr<link::SerialPort> inner, std::string device)
        : inner_(std::move(inner)), device_(std::move(device)) {}

    Result<Ok, link::PortErrorCode> open(const std::string& path) override {
        if (path != device_) return link::PortError{link::PortErrorCode::NotFound, path + ": no such device"};
        return inner_->open(path);
    }
    void close() override { inner_->close(); }
    bool isOpen() const override { return inner_->isOpen(); }
    bool setRts(bool raised) override { return inner_->setRts(raised); }
    bool write(std::span<const std::uint8_t> bytes) override { return inner_->write(bytes); }
    bool drain() override { return inner_->drain(); }
    std::optional<std::size_t> queued() override { return inner_->queued(); }
    std::size_t read(std::span<std::uint8_t> dest) override { return inner_->read(dest); }
    std::optional<link::PortError> failure() const override { return inner_->failure(); }

private:
    std::unique_ptr<link::SerialPort> inner_;
    std::string device_;
};

// What went over the line, as the golden transcripts write it ("send ... ReadLiveFrame", "pause 20").
class Wire {
public:
    Wire() : log_(out_, false) {}
    link::LinkObserver& observer() { return log_; }

    QStringList lines() const { return QString::fromStdString(out_.str()).split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    qsizetype mark() const { return lines().size(); }
    // The frames sent and the fixed pauses since `from` (the receive waits left out).
    QStringList framesAndPausesSince(qsizetype from) const {
        QStringList out;
        for (const QString& line : lines().mid(from))
            if (line.startsWith(QLatin1String("send ")) || line.startsWith(QLatin1String("pause "))) out << line;
        return out;
    }
    // The command names of the frames sent since `from`.
    QStringList commandsSince(qsizetype from) const {
        QStringList out;
        for (const QString& line : lines().mid(from))
            if (line.startsWith(QLatin1String("send ")))
                out << line.section(QStringLiteral("  "), 1).section(QLatin1Char(' '), 0, 0);
        return out;
    }

private:
    std::ostringstream out_;
    link::FrameLog log_;
};

// The window on the real serial port and the window's own pacer, for the smoke tests over a pseudo-terminal.
struct PtyRig {
    StartDir start;
    ui::AppSettings settings{start.dir.path() + QStringLiteral("/settings.ini")};
    ui::QtPacer pacer;
    std::unique_ptr<link::ControllerLink> line;
    params::ProgramState state;
    i18n::MessageStore messages;
    DialogAnswerer dialogs;  // a box (no controller answered in time ...) fails the test instead of blocking it
    std::unique_ptr<ui::MainWindow> window;

    // `device` stands behind port entry `index`; every other entry leads nowhere. The window connects to it
    // at its first activation.
    explicit PtyRig(const std::string& device, int index = 0) {
        link::PortTable ports;
        for (int i = 0; i < link::kPortCount; ++i) ports.setPath(i, kNoDevice + std::to_string(i));
        ports.setPath(index, device);
        line = std::make_unique<link::ControllerLink>(std::make_unique<link::PosixSerialPort>(), pacer, ports);
        window = std::make_unique<ui::MainWindow>(*line, state, messages, settings);
        window->setStartPort(index);
    }
    link::Link& link() { return line->link(); }
    QString status() const { return StatusField(window.get()); }
};

// What stands behind the one device of a virtual rig.
enum class Behind {
    Simulator,  // the in-process simulated controller
    Script,     // the scripted controller (ControllerScript)
    Nothing,    // no device at all: every port entry fails to open
};

// The window in virtual time: the line is the simulated or scripted controller behind a virtual pacer, so
// every sequence runs at once and its frames and pauses are exact. Nothing runs behind the test's back: the
// window's timers never fire by themselves, the tests call the handlers, and modal boxes are answered at once.
struct VirtualRig {
    StartDir start;
    ui::AppSettings settings{start.dir.path() + QStringLiteral("/settings.ini")};
    link::VirtualPacer pacer;
    std::unique_ptr<sim::Controller> controller;
    ControllerScript script;
    sim::SimPort* sim = nullptr;       // with Behind::Simulator
    ScriptedPort* scripted = nullptr;  // with Behind::Script
    std::unique_ptr<link::ControllerLink> line;
    params::ProgramState state;
    i18n::MessageStore messages;
    Wire wire;
    DialogAnswerer dialogs;
    std::unique_ptr<ui::MainWindow> window;

    static constexpr int kFrozenMs = 24 * 3600 * 1000;

    static std::string devicePath(int index) { return "/dev/virtual" + std::to_string(index); }

    // The device stands behind port entry `index`. activate() connects to it unless `connectAtStart` is
    // false.
    explicit VirtualRig(Behind behind, int index = 0, bool connectAtStart = true,
                        const sim::ControllerOptions& options = {}) {
        std::unique_ptr<link::SerialPort> port;
        if (behind == Behind::Simulator) {
            controller = std::make_unique<sim::Controller>(options);
            auto p = std::make_unique<sim::SimPort>(*controller, pacer);
            sim = p.get();
            port = std::move(p);
        } else {
            auto p = std::make_unique<ScriptedPort>(pacer);
            if (behind == Behind::Script)
                p->setResponder([this](ScriptedPort& self, const link::Frame& f) { self.deliver(script.answer(f)); });
            scripted = p.get();
            port = std::move(p);
        }
        link::PortTable ports;
        for (int i = 0; i < link::kPortCount; ++i) ports.setPath(i, devicePath(i));
        const std::string device = behind == Behind::Nothing ? std::string() : devicePath(index);
        line = std::make_unique<link::ControllerLink>(std::make_unique<OneDevicePort>(std::move(port), device), pacer,
                                                      ports);
        line->link().setObserver(&wire.observer());
        window = std::make_unique<ui::MainWindow>(*line, state, messages, settings);
        freezeTimers();
        if (behind != Behind::Nothing && connectAtStart) window->setStartPort(index);
    }
    ~VirtualRig() { line->link().setObserver(nullptr); }

    // The first activation, as the first show would run it.
    void activate() { window->firstActivation(); }
    // Shown and active, so key presses reach the window's shortcuts. The platform's activation is an event
    // already queued: handled here, not waited for (so is the first activation, if it has not run yet).
    void showActive() {
        window->show();
        window->activateWindow();
        QCoreApplication::processEvents();
    }
    // The window's timers keep their state (a test may ask whether the reconnect was started) but never
    // fire by themselves, not even in a message box's event loop: each timeout is a test's fire().
    void freezeTimers() {
        std::vector<QTimer*> timers = {window->readings().timer(), window->connection().autoconnectTimer(),
                                       window->connection().reconnectTimer()};
        for (QTimer* t : window->findChildren<QTimer*>()) timers.push_back(t);
        for (QTimer* t : timers) t->setInterval(kFrozenMs);  // restarts an active timer with the new interval
    }
    // One timeout of a timer, handled now instead of when the timer would fire.
    static void fire(QTimer* timer) { QMetaObject::invokeMethod(timer, "timeout"); }

    link::Link& link() { return line->link(); }
    QString status() const { return StatusField(window.get()); }
    // A parameter word as the simulated controller runs with it.
    std::uint16_t simParameter(int n) const { return controller->running().params[static_cast<std::size_t>(n)]; }
    QString statusBar() const { return window->statusBar()->currentMessage(); }
    QString text(int id) const {
        const std::string_view t = messages.text(id);
        return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
    }
    template <class W = QWidget>
    W* find(const char* name) const {
        return window->findChild<W*>(QString::fromLatin1(name));
    }
};

}  // namespace sequaflow::testing_support
