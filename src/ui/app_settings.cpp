#include "ui/app_settings.h"

namespace sequaflow::ui {

namespace {
constexpr int kNoPort = 255;
}

AppSettings::AppSettings() : settings_(QStringLiteral("kestra"), QStringLiteral("kestra")) {}

AppSettings::AppSettings(const QString& iniPath) : settings_(iniPath, QSettings::IniFormat) {}

std::optional<int> AppSettings::comNr() {
    const QVariant v = settings_.value(QStringLiteral("ComNr"));
    if (!v.isValid()) {
        settings_.setValue(QStringLiteral("ComNr"), kNoPort);
        settings_.sync();
        return std::nullopt;
    }
    bool ok = false;
    const int n = v.toInt(&ok);
    return ok ? n : kNoPort;
}

void AppSettings::setComNr(int number) {
    settings_.setValue(QStringLiteral("ComNr"), number);
    settings_.sync();
}

bool AppSettings::spaceBG() {
    const QVariant v = settings_.value(QStringLiteral("SpaceBG"));
    if (!v.isValid()) {
        setSpaceBG(true);
        return true;
    }
    return v.toBool();
}

void AppSettings::setSpaceBG(bool on) {
    settings_.setValue(QStringLiteral("SpaceBG"), on);
    settings_.sync();
}

void AppSettings::applyPortPaths(link::PortTable& table) {
    for (int i = 0; i < link::kPortCount; ++i) {
        const QString key = QStringLiteral("Ports/COM%1").arg(i + 1);
        const QString path = settings_.value(key).toString();
        if (!path.isEmpty()) table.setPath(i, path.toStdString());
    }
}

}  // namespace sequaflow::ui
