#pragma once

#include <QObject>
#include <memory>

#include "i18n/message_store.h"
#include "link/connection.h"
#include "link/link.h"
#include "link/port_table.h"
#include "link/serial_port.h"
#include "live/readings.h"
#include "params/program_state.h"
#include "ui/qt_pacer.h"

namespace sequaflow::ui {

// The program state shared by the pages and the window, with the signals that tell them what happened.
// Everything runs on the UI thread.
class Session final : public QObject {
    Q_OBJECT
public:
    Session(std::unique_ptr<link::SerialPort> port, link::PortTable ports, QObject* parent = nullptr);
    ~Session() override;

    link::Link& link() { return link_; }
    link::Pacer& pacer() { return pacer_; }
    link::ConnectionManager& connection() { return connection_; }
    const link::PortTable& ports() const { return ports_; }
    params::ProgramState& state() { return state_; }
    live::ReadingsCycle& readingsCycle() { return cycle_; }
    i18n::MessageStore& messages() { return messages_; }
    QString message(int id) const;

    // The last accepted frame as shown on screen.
    const live::ReadingsView& view() const { return view_; }
    // Recomputes the view from the live words and tells the pages.
    void publishReadings();
    void publishReadFinished() { emit readFinished(); }
    void publishConnection() { emit connectionChanged(); }

    // A sequence of frames is running: timer ticks return at once and closing waits for its end.
    bool busy() const { return busy_ > 0; }
    class Busy {
    public:
        explicit Busy(Session& s) : s_(s) { ++s_.busy_; }
        ~Busy() {
            if (--s_.busy_ == 0) emit s_.idle();
        }
        Busy(const Busy&) = delete;
        Busy& operator=(const Busy&) = delete;

    private:
        Session& s_;
    };

signals:
    void readingsUpdated();
    void readFinished();
    void connectionChanged();
    void idle();

private:
    std::unique_ptr<link::SerialPort> port_;
    QtPacer pacer_;
    link::Link link_;
    link::PortTable ports_;
    link::ConnectionManager connection_;
    params::ProgramState state_;
    live::ReadingsCycle cycle_;
    live::ReadingsView view_;
    i18n::MessageStore messages_;
    int busy_ = 0;
};

}  // namespace sequaflow::ui
