#include "ui/app_settings.h"

#include "link/port_inventory.h"

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
    ignored_.clear();
    for (int i = 0; i < link::kPortCount; ++i) {
        const QString key = QStringLiteral("Ports/COM%1").arg(i + 1);
        if (!settings_.contains(key)) continue;
        const QVariant v = settings_.value(key);
        // A hand-edited value with a comma comes back as a list; it names no device either.
        const QString path = v.typeId() == QMetaType::QStringList ? v.toStringList().join(QStringLiteral(", ")) : v.toString();
        const QByteArray bytes = path.toUtf8();
        if (link::IsDevicePathSetting(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
            table.setPath(i, bytes.toStdString());
            continue;
        }
        QString shown = path;
        for (QChar& c : shown)
            if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char('?');
        ignored_.push_back({QStringLiteral("COM%1").arg(i + 1), shown});
    }
}

void AppSettings::setPortPath(int index, const QString& path) {
    settings_.setValue(QStringLiteral("Ports/COM%1").arg(index + 1), path);
    settings_.sync();
}

}  // namespace sequaflow::ui
