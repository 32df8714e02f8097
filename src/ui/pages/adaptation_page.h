#pragma once

#include <QWidget>

#include "i18n/message_store.h"
#include "ui/page.h"

class QLineEdit;

namespace sequaflow::ui {

class LiveFeed;
class RoundMeter;

// TabSheet5 ("Adaptacja"): the engine-speed meter of the auto-adaptation; the procedure itself comes later.
class AdaptationPage final : public QWidget, public Page {
    Q_OBJECT
public:
    AdaptationPage(const LiveFeed& feed, const i18n::MessageStore& messages, QWidget* parent = nullptr);

    // Leaving asks first; a yes gives the readings back to the window (left()).
    bool canLeave() override;
    void languageChanged() override;
    bool running() const { return running_; }

signals:
    // The user chose to leave: the readings and the language menu come back.
    void left();

public slots:
    void showReadings();

private:
    const LiveFeed& feed_;
    const i18n::MessageStore& messages_;
    RoundMeter* meter_;
    QLineEdit* text_;
    bool running_ = false;
};

}  // namespace sequaflow::ui
