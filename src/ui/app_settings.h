#pragma once

#include <QSettings>
#include <QString>
#include <optional>
#include <vector>

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
    // Applies "Ports/COMn" overrides to the table. A value that names no device (relative, empty, a control
    // character, not a text) changes nothing and is kept in ignoredPortSettings().
    void applyPortPaths(link::PortTable& table);
    // Saves "Ports/COMn" for entry index 0..24.
    void setPortPath(int index, const QString& path);

    struct IgnoredPortSetting {
        QString entry;  // "COM3"
        QString value;  // as written, control characters shown as '?'
    };
    const std::vector<IgnoredPortSetting>& ignoredPortSettings() const { return ignored_; }

private:
    QSettings settings_;
    std::vector<IgnoredPortSetting> ignored_;
};

}  // namespace sequaflow::ui
