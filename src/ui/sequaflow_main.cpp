#include <QApplication>
#include <QDir>
#include <QStandardPaths>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "i18n/message_store.h"
#include "link/controller_link.h"
#include "link/port_table.h"
#include "params/build_info.h"
#include "params/data_folder.h"
#include "params/program_state.h"
#include "link/posix_serial_port.h"
#include "sim/engine_driver.h"
#include "sim/pty_server.h"
#include "ui/app_settings.h"
#include "ui/configuration_model.h"
#include "ui/key_filters.h"
#include "ui/main_window.h"
#include "ui/qt_pacer.h"

namespace {

constexpr const char* kUsage =
    "Usage: sequaflow [options]\n"
    "  --simulate         run against the built-in simulated controller on COM1 and connect at start\n"
    "  --map COMn=PATH    use PATH for port entry n in this run (repeatable)\n"
    "  --connect COMn     at start, connect to this entry instead of the saved port\n"
    "  --page NAME        start on this page (TabSheet1 readings, TabSheet2 oscilloscope, ...)\n"
    "  --help             this text\n"
    "  --version          the program version\n"
    "  -platform NAME, -style NAME  Qt's own options (e.g. -platform offscreen)\n";

int UsageError(const std::string& message) {
    std::fprintf(stderr, "sequaflow: %s\n%s", message.c_str(), kUsage);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace sequaflow;
    // Options first, so --help and bad arguments never need a display.
    bool simulate = false;
    std::optional<int> connectIndex;
    std::vector<std::string> maps;
    std::string startPage;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a == "--version") {
            std::printf("%s\n", params::VersionLine("sequaflow").c_str());
            return 0;
        }
        if (a == "--simulate") {
            simulate = true;
        } else if (a == "--map") {
            if (i + 1 >= argc) return UsageError("--map needs COMn=PATH");
            maps.emplace_back(argv[++i]);
        } else if (a == "--connect") {
            if (i + 1 >= argc) return UsageError("--connect needs a port entry such as COM3");
            connectIndex = link::ParsePortNumber(argv[++i]);
            if (!connectIndex) return UsageError(std::string("--connect: '") + argv[i] + "' is not COM1..COM25");
        } else if (a == "--page") {
            if (i + 1 >= argc) return UsageError("--page needs a page name such as TabSheet2");
            startPage = argv[++i];
        } else if (a.rfind("-platform", 0) == 0 || a.rfind("-style", 0) == 0) {
            ++i;  // Qt's own options
        } else {
            return UsageError("unknown option '" + a + "'");
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("sequaflow"));
    QApplication::setOrganizationName(QStringLiteral("kestra"));
    // Lets the desktop match the window to its menu entry and icon (Wayland asks by this name).
    QGuiApplication::setDesktopFileName(QStringLiteral("sequaflow"));

    link::PortTable ports;
    // The demo keeps its own settings, so it never changes the port saved for the real controller.
    std::unique_ptr<ui::AppSettings> settings;
    std::unique_ptr<sim::PtyServer> simulator;
    if (simulate) {
        const QString dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
        QDir().mkpath(dir);
        settings = std::make_unique<ui::AppSettings>(dir + QStringLiteral("/simulate.ini"));
        auto started = sim::PtyServer::Start(sim::Controller(sim::ControllerOptions{}), sim::PtyServerOptions{});
        if (!started) {
            std::fprintf(stderr, "sequaflow: cannot start the simulated controller: %s\n", started.error().detail.c_str());
            return 1;
        }
        simulator = std::move(started.value());
        ports.setOneRunPath(0, simulator->slavePath());
        if (!connectIndex) connectIndex = 0;
    } else {
        settings = std::make_unique<ui::AppSettings>();
    }
    settings->applyPortPaths(ports);
    for (const auto& m : maps)
        if (!ports.applyOverride(m)) return UsageError("--map needs COMn=PATH with n in 1..25, got '" + m + "'");

    // The composition root: the line, the configuration and the texts the window works on.
    ui::QtPacer pacer;
    link::ControllerLink line(std::make_unique<link::PosixSerialPort>(), pacer, ports);
    params::ProgramState state;
    state.decimalSeparator = ui::LocaleDecimalSeparator();
    i18n::MessageStore messages;
    // Started from a desktop menu the current folder is the home folder: the program's files then go to the
    // per-user data folder, unless the folder already holds them (a workshop's own set-up).
    const params::DataFolder data = params::ChooseDataFolder(
        QDir::currentPath().toStdString(),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation).toStdString());
    if (!data.problem.empty()) std::fprintf(stderr, "sequaflow: %s; using %s\n", data.problem.c_str(), data.path.c_str());
    ui::MainWindow window(line, state, messages, *settings, QString::fromStdString(data.path));
    if (connectIndex) window.setStartPort(*connectIndex);
    if (simulator) {
        window.addSimulatedEngine([&simulator](const sim::DriverCommand& command) {
            simulator->withController([&](sim::Controller& c) { sim::ApplyDriverCommand(c.engine(), command); });
        });
    }
    QWidget* page = nullptr;
    if (!startPage.empty()) {
        page = window.page(QString::fromStdString(startPage));
        if (page == nullptr) return UsageError("--page: no page named '" + startPage + "'");
    }
    window.show();
    if (page != nullptr) {
        window.showPage(page);
        // The first read sets the map pages' tabs, which may move the tab bar off a page without a tab.
        QObject::connect(
            &window.model(), &ui::ConfigurationModel::readFinished, &window, [&window, page] { window.showPage(page); },
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
    }
    const int rc = QApplication::exec();
    if (simulator) simulator->stop();
    return rc;
}
