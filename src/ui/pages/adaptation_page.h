#pragma once

#include <QTimer>
#include <QWidget>
#include <array>
#include <cstddef>

#include "adapt/adaptation.h"
#include "i18n/message_store.h"
#include "ui/page.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace sequaflow::ui {

class LiveFeed;
class ParameterControls;
class ReadingsController;
class RoundMeter;

// TabSheet5 ("Adaptacja"): drives the auto-adaptation of the core with its own step timer and shows what
// the procedure says and measures. The page decides nothing itself: each tick hands the line to the machine
// and copies the machine's state into the widgets; whatever the machine wrote is shown by the controls that
// show those parameters and maps.
class AdaptationPage final : public QWidget, public Page {
    Q_OBJECT
public:
    // `stepBar` is the window's ProgressBar1, the progress of the current measuring step.
    AdaptationPage(ParameterControls& controls, ReadingsController& readings, const LiveFeed& feed,
                   const i18n::MessageStore& messages, QProgressBar* stepBar, QWidget* parent = nullptr);

    // Leaving asks first; a yes stops a running procedure and gives the readings back to the window (left()).
    bool canLeave() override;
    void languageChanged() override;

    bool running() const { return adaptation_.running(); }
    const adapt::Adaptation& adaptation() const { return adaptation_; }
    QTimer* timer() { return &timer_; }

    // The window is closing: the procedure stops where it is, nothing more is sent.
    void shutDown();

signals:
    // The procedure began: the readings and connection timers stop and the language menu goes away.
    void started();
    // The procedure ended (completed, aborted or stopped by the line): the readings come back, and with
    // `languageMenuBack` the language menu too.
    void finished(bool languageMenuBack);
    // The user chose to leave: the readings and the language menu come back.
    void left();

public slots:
    // ButtonRozpocznijAuto: start when idle, abort when running.
    void startOrAbort();
    // One timeout of the step timer.
    void tick();
    void showReadings();
    // ButtonDyszki: the nozzle sizes by engine power.
    void showNozzles();

private:
    void start();
    void abort();
    // After a stop that was not the user's: why, and what the controller already holds.
    void stopped(adapt::TickOutcome outcome);
    void showProgress();
    void showInstruction();
    void showResults();
    void showVerdict();
    void showPrepare();
    // Tells the rest of the window about the values the procedure sent since the last look.
    void showWritten();
    void setCaption();

    ParameterControls& controls_;
    ReadingsController& readings_;
    const LiveFeed& feed_;
    const i18n::MessageStore& messages_;
    QProgressBar* stepBar_;
    adapt::Adaptation adaptation_;
    QTimer timer_;
    unsigned shownStep_ = 0;
    unsigned shownInstruction_ = 0;
    std::size_t shownWritten_ = 0;

    RoundMeter* meter_;
    QLineEdit* rpmText_;
    QPlainTextEdit* memo_;
    QPushButton* button_;
    QProgressBar* progress_;
    QLabel* progressLabel_;
    QGroupBox* results_;
    std::array<QLineEdit*, 8> fields_{};
    QPushButton* nozzles_;
};

}  // namespace sequaflow::ui
