#pragma once

#include <QWidget>
#include <array>

#include "i18n/message_store.h"
#include "ui/fields.h"

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace sequaflow::ui {

class ConfigurationModel;
class LiveFeed;
class ScopeSelectors;
class SequenceRunner;
class Thermometer;
class VerticalBar;

// The right-hand panel, on every page: injection times per cylinder, the gas correction, temperatures
// and the lambda probes, and the injector switches of the test.
class CylinderPanel final : public QWidget {
    Q_OBJECT
public:
    CylinderPanel(const LiveFeed& feed, ConfigurationModel& model, SequenceRunner& runner,
                  const i18n::MessageStore& messages, QWidget* parent);

    QSize sizeHint() const override;

    // The lambda probe types (parameters 55 and 56) shape the probes' bars.
    void setLambdaTypes(int type1, int type2, const QString& absentText);
    // The oscilloscope's channel selectors, each beside the field it stands for.
    ScopeSelectors& scopeSelectors() { return *scope_; }

public slots:
    void showReadings();
    // ButtonW1..ButtonW8: switches gas injector 1..8 off or back on.
    void toggleInjector(int injector);
    // Each switch says what the controller's test mask says about its injector ("on" before anything is
    // known), in the current language.
    void showSwitches();

private:
    static constexpr int kWidth = 260;

    const LiveFeed& feed_;
    ConfigurationModel& model_;
    SequenceRunner& runner_;
    const i18n::MessageStore& messages_;
    bool maskKnown_ = false;
    std::array<QLineEdit*, 8> petrol_{};
    std::array<QLineEdit*, 8> gas_{};
    std::array<QPushButton*, 8> switches_{};
    QLineEdit* injPetrol_;
    QLineEdit* injGas_;
    QLineEdit* correction_;
    QLineEdit* rpm_;
    QLineEdit* pressure_;
    QLineEdit* reducer_;
    QLineEdit* gasTemp_;
    Thermometer* reducerThermo_;
    Thermometer* gasThermo_;
    LambdaDisplay lambda1_;
    LambdaDisplay lambda2_;
    ScopeSelectors* scope_;
};

}  // namespace sequaflow::ui
