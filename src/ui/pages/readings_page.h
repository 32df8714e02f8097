#pragma once

#include <QWidget>

#include "ui/page.h"
#include <array>

#include "ui/fields.h"

class QGroupBox;
class QLabel;
class QLineEdit;

namespace sequaflow::ui {

class LiveFeed;
class VerticalBar;

// TabSheet1: the injection times as bars per cylinder, the lambda bars and the temperatures.
class ReadingsPage final : public QWidget, public Page {
    Q_OBJECT
public:
    explicit ReadingsPage(const LiveFeed& feed, QWidget* parent = nullptr);

    // The lambda probe types (parameters 55 and 56) shape the probes' bars.
    void setLambdaTypes(int type1, int type2, const QString& absentText);
    // The injection-time bars reach from 0 to the longest gas injection (parameter 8, in ticks).
    void setInjectionRange(int ticks);

public slots:
    void showReadings();

signals:
    // MapyButton: the standard map, as its mode.
    void mapRequested();

private:
    const LiveFeed& feed_;
    std::array<VerticalBar*, 8> petrolBars_{};
    std::array<VerticalBar*, 8> gasBars_{};
    std::array<QLineEdit*, 8> petrol_{};
    std::array<QLineEdit*, 8> gas_{};
    LambdaDisplay lambda1_;
    LambdaDisplay lambda2_;
    QLineEdit* reducer_;
    QLineEdit* gasTemp_;
};

}  // namespace sequaflow::ui
