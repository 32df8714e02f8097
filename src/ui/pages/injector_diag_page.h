#pragma once

#include <QWidget>
#include <array>

#include "i18n/message_store.h"
#include "ui/page.h"

class QLineEdit;

namespace sequaflow::ui {

class ConfigurationModel;
class LiveFeed;

// TabSheet10: injector diagnostics. The petrol and gas injection time of each cylinder; the switches that
// turn single gas injectors off sit on the right-hand panel beside it. Leaving the page with injectors still
// switched off asks first.
class InjectorDiagPage final : public QWidget, public Page {
    Q_OBJECT
public:
    InjectorDiagPage(const ConfigurationModel& model, const LiveFeed& feed, const i18n::MessageStore& messages,
                     QWidget* parent = nullptr);

    bool canLeave() override;

public slots:
    // ButtonExitDiag.
    void exitPage();

signals:
    // The user chose to leave through ButtonExitDiag (and agreed to the question, if one came).
    void exitRequested();

private:
    void showTimes();
    // The question about switched-off injectors; true when there is none or the user goes on.
    bool confirmLeave();

    const ConfigurationModel& model_;
    const LiveFeed& feed_;
    const i18n::MessageStore& messages_;
    std::array<QLineEdit*, 8> petrol_{};
    std::array<QLineEdit*, 8> gas_{};
    bool leaveConfirmed_ = false;
};

}  // namespace sequaflow::ui
