#include "ui/main_window.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QScreen>
#include <algorithm>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>

#include "link/connection.h"
#include "params/parameter_image.h"
#include "ui/app_settings.h"
#include "ui/configuration_controller.h"
#include "ui/connection_controller.h"
#include "ui/cylinder_panel.h"
#include "ui/dialogs/form14_dialog.h"
#include "ui/dialogs/form6_dialog.h"
#include "ui/dialogs/form7_dialog.h"
#include "ui/dialogs/form9_dialog.h"
#include "ui/dialogs/idle_correction_dialog.h"
#include "ui/dialogs/injector_settings_dialog.h"
#include "ui/dialogs/map_mode_dialog.h"
#include "ui/dialogs/tank_sensor_dialog.h"
#include "ui/dialogs/turbo_dialog.h"
#include "ui/dialogs/vehicle_data_dialog.h"
#include "ui/language_controller.h"
#include "ui/main_menu.h"
#include "ui/pages/adaptation_page.h"
#include "ui/pages/advanced_page.h"
#include "ui/pages/emission_page.h"
#include "ui/pages/errors_page.h"
#include "ui/pages/factory_page.h"
#include "ui/pages/grid_map_page.h"
#include "ui/pages/injector_diag_page.h"
#include "ui/pages/oscilloscope_page.h"
#include "ui/pages/parameters_page.h"
#include "ui/pages/readings_page.h"
#include "ui/pages/report_page.h"
#include "ui/pages/standard_map_page.h"
#include "ui/readings_controller.h"
#include "ui/session.h"
#include "ui/side_panel.h"

namespace sequaflow::ui {

namespace msg {
constexpr int LeaveAdaptation = 13013;
}

MainWindow::MainWindow(Session& session, AppSettings& settings, QWidget* parent)
    : QMainWindow(parent), session_(session), settings_(settings) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QString::fromUtf8(link::kCaptionPrefix.data(), static_cast<qsizetype>(link::kCaptionPrefix.size())));
    menu_ = std::make_unique<MainMenu>(menuBar(), this);
    menu_->action(QStringLiteral("Polski1"))->setChecked(true);
    menu_->action(QStringLiteral("N640x4801"))->setChecked(true);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar1"));
    progress_->setTextVisible(false);
    progress_->setMaximumHeight(14);
    statusBar()->addPermanentWidget(progress_, 1);

    connection_ = new ConnectionController(session_, settings_, *menu_, this, progress_);
    readings_ = new ReadingsController(session_, settings_, *menu_, this);
    connect(connection_, &ConnectionController::windowCaptionChanged, this, &QMainWindow::setWindowTitle);

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(4, 4, 4, 4);
    side_ = new SidePanel(session_, *readings_, central);
    pages_ = new QTabWidget(central);
    pages_->setObjectName(QStringLiteral("MainPage"));
    cylinders_ = new CylinderPanel(session_, central);
    row->addWidget(side_);
    row->addWidget(pages_, 1);
    row->addWidget(cylinders_);
    setCentralWidget(central);

    buildPages();
    createDialogs();
    wireShortcuts();
    // The start directory is the current one now; every control shows the table's built-in text.
    languages_ = new LanguageController(*this, *menu_, session_, QDir::currentPath());
    languages_->applyCurrentTexts();
    configuration_ = new ConfigurationController(session_, *menu_, *connection_, this, progress_, QDir::currentPath());
    connect(readings_, &ReadingsController::statusChanged, side_, &SidePanel::showStatus);
    connect(readings_, &ReadingsController::fuelFacesRequested, side_, &SidePanel::setFuelFaces);
    connect(&session_, &Session::idle, this, [this] {
        if (closePending_) close();
    });
    readings_->timer()->start();
    // Fill a small workshop screen, keep a sensible size on a large one.
    const QSize avail = screen() ? screen()->availableGeometry().size() : QSize(1180, 800);
    resize(std::min(1180, avail.width()), std::min(800, avail.height()));
}

MainWindow::~MainWindow() = default;

void MainWindow::buildPages() {
    struct Entry {
        QWidget* page;
        const char* caption;
        bool tabShown;
    };
    const Entry entries[] = {
        {new ReadingsPage(session_, pages_), "Odczyty[F2]", false},
        {new ParametersPage(session_, pages_), "Parametry", true},
        {new OscilloscopePage(session_, pages_), "Oscyloskopy", true},
        {new ErrorsPage(session_, pages_), "Błędy", true},
        {new StandardMapPage(session_, pages_), "Mapa", true},
        {new GridMapPage(session_, pages_), "Map [F5]", false},
        {new AdaptationPage(session_, pages_), "Adaptacja", true},
        {new AdvancedPage(session_, pages_), "Zaawansowane[F5]", false},
        {new FactoryPage(session_, pages_), "Fabr.[F12]", false},
        {new InjectorDiagPage(session_, pages_), "Diagnostyka wtryskiwaczy (F9)", false},
        {new ReportPage(session_, pages_), "Odczyt konfiguracji (F10)", false},
        {new EmissionPage(session_, pages_), "Emisja", false},
    };
    for (const auto& e : entries) {
        const int i = pages_->addTab(e.page, QString::fromUtf8(e.caption));
        pages_->setTabVisible(i, e.tabShown);
    }
    pages_->setCurrentWidget(page(QStringLiteral("TabSheet3")));
    previousPage_ = pages_->currentIndex();
    connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
        if (revertingPage_) return;
        if (pages_->widget(previousPage_) == page(QStringLiteral("TabSheet5")) && !confirmLeavingAdaptation()) {
            revertingPage_ = true;
            pages_->setCurrentIndex(previousPage_);
            revertingPage_ = false;
            return;
        }
        previousPage_ = index;
    });
}

bool MainWindow::confirmLeavingAdaptation() {
    const auto answer = QMessageBox::question(this, QString(), session_.message(msg::LeaveAdaptation),
                                              QMessageBox::Yes | QMessageBox::No);
    if (answer != QMessageBox::Yes) return false;
    readings_->timer()->start();
    menu_->menu(QStringLiteral("Jzyk1"))->menuAction()->setVisible(true);
    return true;
}

void MainWindow::createDialogs() {
    // Created at start-up in their order, as the program always has; they stay hidden until used.
    new VehicleDataDialog(this);
    new Form6Dialog(this);
    new Form7Dialog(this);
    new MapModeDialog(this);
    new Form9Dialog(this);
    new InjectorSettingsDialog(this);
    new IdleCorrectionDialog(this);
    new TankSensorDialog(this);
    // TForm13, the detection status window, belongs to the connection controller.
    new Form14Dialog(this);
    new TurboDialog(this);
}

QWidget* MainWindow::page(const QString& name) const {
    for (int i = 0; i < pages_->count(); ++i)
        if (pages_->widget(i)->objectName() == name) return pages_->widget(i);
    return nullptr;
}

void MainWindow::showPage(const QString& name) {
    if (QWidget* p = page(name)) pages_->setCurrentWidget(p);
}

void MainWindow::wireShortcuts() {
    auto bind = [this](const char* item, const char* target, bool showLanguageMenu) {
        connect(menu_->action(QString::fromLatin1(item)), &QAction::triggered, this,
                [this, target, showLanguageMenu] {
                    if (showLanguageMenu) menu_->menu(QStringLiteral("Jzyk1"))->menuAction()->setVisible(true);
                    showPage(QString::fromLatin1(target));
                });
    };
    bind("KSParam", "TabSheet3", true);
    bind("KSOscy", "TabSheet2", true);
    bind("KSError", "TabSheet11", true);
    bind("KSMapa", "TabSheet7", true);
    bind("KSMapa2", "TabSheet6", true);
    bind("KSAdaptacja", "TabSheet5", false);
    bind("OdczytyF21", "TabSheet1", false);
    bind("OscyloskopyF31", "TabSheet2", false);
    bind("ParametryF41", "TabSheet3", false);
    bind("ZaawansowaneF51", "TabSheet4", false);
    bind("AutoadaptacjaF61", "TabSheet5", false);
    bind("Mapa1", "TabSheet6", false);
    bind("MapaInj1", "TabSheet7", false);
    bind("Fabr1", "TabSheet8", false);
    bind("DiagnosytkaWtryskiwaczy1", "TabSheet10", false);
    bind("Odczytkonfiguracji1", "TabSheet9", false);
    menu_->setMapModeShortcut(2);
}

void MainWindow::applyMapMode(int mode) {
    if (mode != 1 && mode != 2) return;
    const int grid = pages_->indexOf(page(QStringLiteral("TabSheet6")));
    const int standard = pages_->indexOf(page(QStringLiteral("TabSheet7")));
    const bool onMapPage = pages_->currentIndex() == grid || pages_->currentIndex() == standard;
    // Hiding the current tab would make the tab widget jump to a neighbour on its own (maybe the
    // adaptation page); a change of map mode is no page change of the user's.
    revertingPage_ = true;
    pages_->setTabVisible(mode == 1 ? grid : standard, true);
    if (onMapPage) pages_->setCurrentIndex(mode == 1 ? grid : standard);
    pages_->setTabVisible(mode == 1 ? standard : grid, false);
    previousPage_ = pages_->currentIndex();
    revertingPage_ = false;
    menu_->setMapModeShortcut(mode);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!activated_) QMetaObject::invokeMethod(this, &MainWindow::firstActivation, Qt::QueuedConnection);
}

void MainWindow::firstActivation() {
    if (activated_) return;
    activated_ = true;
    languages_->applyStartupLanguage();
    if (startPort_ >= 0) menu_->portItem(startPort_)->trigger();
    else connection_->restoreSavedPort();
    applyMapMode(static_cast<int>(session_.state().image.field(params::field::MapMode)));
    if (auto* advanced = qobject_cast<AdvancedPage*>(page(QStringLiteral("TabSheet4")))) advanced->writeDefaultFilters();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (session_.busy()) {
        // Closing in the middle of a sequence would cut it between two frames: close once it has ended.
        closePending_ = true;
        event->ignore();
        return;
    }
    connection_->stop();
    readings_->timer()->stop();
    session_.link().closePort();
    event->accept();
}

}  // namespace sequaflow::ui
