#pragma once

#include <QSettings>
#include <optional>

#include "link/port_table.h"

namespace sequaflow::ui {

// The per-machine settings: the last port chosen by hand ("ComNr", 1..25, 255 = none), the space-bar
// fuel toggle ("SpaceBG") and the device behind each port entry ("Ports/COMn").
class AppSettings {
public:
    AppSettings();
    explicit AppSettings(const QString& iniPath);  // for tests

    // "ComNr" as stored; nullopt when the value does not exist (it is then created as 255).
    std::optional<int> comNr();
    void setComNr(int number);
    // "SpaceBG"; a missing value is written as true.
    bool spaceBG();
    void setSpaceBG(bool on);
    // Where the settings are kept, for Help > About.
    QString fileName() const { return settings_.fileName(); }
    // Applies "Ports/COMn" overrides to the table.
    void applyPortPaths(link::PortTable& table);

private:
    QSettings settings_;
};

}  // namespace sequaflow::ui
