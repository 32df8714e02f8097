#include "ui/main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "i18n/message_ids.h"
#include "link/connection.h"
#include "maps/map_transfer.h"
#include "params/parameter_image.h"
#include "params/parameter_numbers.h"
#include "ui/app_settings.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/help_viewer.h"
#include "ui/configuration_controller.h"
#include "ui/configuration_model.h"
#include "ui/connection_controller.h"
#include "ui/cylinder_panel.h"
#include "ui/dialogs/form14_dialog.h"
#include "ui/dialogs/signal_noise_dialog.h"
#include "ui/dialogs/simulated_engine_dialog.h"
#include "ui/dialogs/status_window.h"
#include "ui/dialogs/map_selection_dialog.h"
#include "ui/dialogs/idle_correction_dialog.h"
#include "ui/dialogs/injector_settings_dialog.h"
#include "ui/dialogs/point_editor_dialog.h"
#include "ui/dialogs/map_value_dialog.h"
#include "ui/dialogs/tank_sensor_dialog.h"
#include "ui/dialogs/turbo_dialog.h"
#include "ui/dialogs/vehicle_data_dialog.h"
#include "ui/fields.h"
#include "ui/language_controller.h"
#include "ui/live_feed.h"
#include "ui/live_log_controller.h"
#include "ui/main_menu.h"
#include "ui/map_editor.h"
#include "ui/parameter_controls.h"
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
#include "ui/sequence_runner.h"
#include "ui/scope_selectors.h"
#include "ui/side_panel.h"
#include "ui/widgets/idle_slider.h"
#include "ui/work_time_box.h"

namespace sequaflow::ui {

namespace {

// A side panel that scrolls up and down when the window is too low for it; it keeps its own width, and
// makes room for the scroll bar beside it rather than under it.
class PanelScroll final : public QScrollArea {
public:
    PanelScroll(QWidget* panel, QWidget* parent) : QScrollArea(parent) {
        setObjectName(panel->objectName() + QStringLiteral("Scroll"));
        setFrameShape(QFrame::NoFrame);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setWidgetResizable(true);
        // The panel is never made smaller than its layout needs; the bar scrolls what does not fit.
        panel->layout()->setSizeConstraint(QLayout::SetMinimumSize);
        setWidget(panel);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        // A panel that needs another width (a language's longer captions) says so to the viewport.
        viewport()->installEventFilter(this);
        connect(verticalScrollBar(), &QScrollBar::rangeChanged, this, [this] { updateGeometry(); });
    }
    QSize sizeHint() const override { return {panelWidth(), widget()->sizeHint().height()}; }
    QSize minimumSizeHint() const override { return {panelWidth(), 0}; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == viewport() && event->type() == QEvent::LayoutRequest) updateGeometry();
        return QScrollArea::eventFilter(watched, event);
    }

private:
    int panelWidth() const {
        const int bar = verticalScrollBar()->maximum() > 0 ? verticalScrollBar()->sizeHint().width() : 0;
        return widget()->sizeHint().width() + bar;
    }
};

// Puts a page's content in a scroll area inside the page: a page that needs more room than the window
// gives scrolls instead of squeezing its controls. The page stays the tab and keeps its name.
void ScrollPage(QWidget* page) {
    QLayout* content = page->layout();
    if (content == nullptr) return;
    auto* body = new QWidget;
    body->setObjectName(page->objectName() + QStringLiteral("Body"));
    body->setLayout(content);  // takes the layout with the widgets in it
    // A longer translation makes the body wider, and the scroll bars follow, instead of squeezing it.
    content->setSizeConstraint(QLayout::SetMinimumSize);
    auto* area = new QScrollArea(page);
    area->setObjectName(page->objectName() + QStringLiteral("Scroll"));
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(body);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
}

// The window fits an 800 x 600 screen with its frame; below this the pages would be too narrow to use.
constexpr QSize kLeastWindow(760, 520);

}  // namespace

MainWindow::MainWindow(link::ControllerLink& line, params::ProgramState& state, i18n::MessageStore& messages,
                       AppSettings& settings, QString dataFolder, QWidget* parent)
    : QMainWindow(parent),
      line_(line),
      state_(state),
      messages_(messages),
      settings_(settings),
      dataFolder_(dataFolder.isEmpty() ? QDir::currentPath() : std::move(dataFolder)) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QString::fromUtf8(link::kCaptionPrefix.data(), static_cast<qsizetype>(link::kCaptionPrefix.size())));
    menu_ = std::make_unique<MainMenu>(menuBar(), this);
    menu_->action(QStringLiteral("Polski1"))->setChecked(true);
    menu_->action(QStringLiteral("N640x4801"))->setChecked(true);

    runner_ = new SequenceRunner(line_, messages_, this);
    model_ = new ConfigurationModel(state_, line_.connection(), this);
    feed_ = new LiveFeed(this);
    controls_ = new ParameterControls(*runner_, *model_, messages_, this);
    mapEditor_ = new MapEditor(*model_, *runner_, this);

    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar1"));
    progress_->setTextVisible(false);
    progress_->setMaximumHeight(14);
    // The status bar's message (how the last sequence ended, a lost line) needs the room; the bar does not.
    progress_->setFixedWidth(260);
    statusBar()->addPermanentWidget(progress_);
    runner_->attach(progress_, statusBar());

    connection_ =
        new ConnectionController(*runner_, *model_, *feed_, messages_, settings_, *menu_, *controls_, this);
    readings_ = new ReadingsController(*runner_, *model_, *feed_, messages_, settings_, *menu_, this);
    connect(connection_, &ConnectionController::windowCaptionChanged, this, &QMainWindow::setWindowTitle);

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(4, 4, 4, 4);
    side_ = new SidePanel(*feed_, *model_, messages_, *readings_, central);
    pages_ = new QTabWidget(central);
    pages_->setObjectName(QStringLiteral("MainPage"));
    cylinders_ = new CylinderPanel(*feed_, *model_, *runner_, messages_, central);
    row->addWidget(new PanelScroll(side_, central));
    row->addWidget(pages_, 1);
    row->addWidget(new PanelScroll(cylinders_, central));
    setCentralWidget(central);

    buildPages();
    // The probe types shape the lambda bars wherever they are drawn.
    const auto showLambdaTypes = [this] {
        const QString absent = Text(messages_, i18n::msg::NotPresent);
        const int type1 = model_->image().slot(params::pn::Lambda1Type);
        const int type2 = model_->image().slot(params::pn::Lambda2Type);
        readingsPage_->setLambdaTypes(type1, type2, absent);
        cylinders_->setLambdaTypes(type1, type2, absent);
    };
    const auto showInjectionRange = [this] { readingsPage_->setInjectionRange(model_->image().slot(params::pn::MaxGasTime)); };
    connect(model_, &ConfigurationModel::readFinished, this, showLambdaTypes);
    connect(model_, &ConfigurationModel::readFinished, this, showInjectionRange);
    connect(model_, &ConfigurationModel::parameterChanged, this, [showLambdaTypes, showInjectionRange](int slot) {
        if (slot == params::pn::Lambda1Type || slot == params::pn::Lambda2Type) showLambdaTypes();
        if (slot == params::pn::MaxGasTime) showInjectionRange();
    });
    createDialogs();
    wireShortcuts();
    // Every control shows the table's built-in text until a language is chosen.
    languages_ = new LanguageController(*this, *menu_, messages_, dataFolder_);
    languages_->setPages(pageList_);
    languages_->applyCurrentTexts();
    wireDiagnostics();
    wireMapEditing();
    configuration_ =
        new ConfigurationController(*runner_, *model_, messages_, *menu_, *connection_, this, dataFolder_);
    connect(readings_, &ReadingsController::statusChanged, side_, &SidePanel::showStatus);
    connect(readings_, &ReadingsController::fuelFacesRequested, side_, &SidePanel::setFuelFaces);
    connect(feed_, &LiveFeed::staleChanged, this, &MainWindow::showStale);
    liveLog_ = new LiveLogController(*model_, *feed_, messages_, *menu_, line_.pacer(), statusBar(), this,
                                     dataFolder_);
    about_ = new AboutDialog(
        messages_,
        [this] {
            const QString help = languages_->help().locate();
            return AboutPaths{QFileInfo(dataFolder_).absoluteFilePath(),
                              QFileInfo(QDir(languages_->languageRoot()).filePath(QStringLiteral("lang"))).absoluteFilePath(),
                              help.isEmpty() ? QString() : QFileInfo(help).absoluteFilePath(), settings_.fileName()};
        },
        this);
    connect(menu_->action(QStringLiteral("OProgramie1")), &QAction::triggered, about_, &AboutDialog::showAbout);
    connect(runner_, &SequenceRunner::idle, this, [this] {
        if (closePending_) close();
    });
    connect(adaptationPage_, &AdaptationPage::left, this, [this] {
        readings_->timer()->start();
        menu_->menu(QStringLiteral("Jzyk1"))->menuAction()->setVisible(true);
    });
    // The procedure reads the frames itself and keeps the line to its own requests.
    connect(adaptationPage_, &AdaptationPage::started, this, [this] {
        menu_->menu(QStringLiteral("Jzyk1"))->menuAction()->setVisible(false);
        connection_->autoconnectTimer()->stop();
        readings_->timer()->stop();
    });
    connect(adaptationPage_, &AdaptationPage::finished, this, [this](bool languageMenuBack) {
        if (languageMenuBack) menu_->menu(QStringLiteral("Jzyk1"))->menuAction()->setVisible(true);
        readings_->timer()->start();
    });
    readings_->timer()->start();
    for (int i = 0; i < pages_->count(); ++i) ScrollPage(pages_->widget(i));
    setMinimumSize(kLeastWindow);
    // Fill a small workshop screen, keep a sensible size on a large one.
    const QSize avail = screen() ? screen()->availableGeometry().size() : QSize(1180, 800);
    resize(std::min(1180, avail.width()), std::min(800, avail.height()));
}

MainWindow::~MainWindow() {
    // Destroying a focused editor makes it lose the focus, which is an editor's cue to write: a window on
    // its way out sends nothing, and the model's changes no longer reach the window's own handlers.
    controls_->shutDown();
    standardMapPage_->shutDown();
    model_->disconnect(this);
}

void MainWindow::buildPages() {
    readingsPage_ = new ReadingsPage(*feed_, pages_);
    parametersPage_ = new ParametersPage(*controls_, messages_, pages_);
    oscilloscopePage_ = new OscilloscopePage(*feed_, *model_, pages_);
    ScopeSelectors& selectors = cylinders_->scopeSelectors();
    oscilloscopePage_->setChannel(selectors.channel());
    connect(&selectors, &ScopeSelectors::channelChanged, oscilloscopePage_,
            [this, &selectors] { oscilloscopePage_->setChannel(selectors.channel()); });
    errorsPage_ = new ErrorsPage(*model_, *runner_, messages_, pages_);
    standardMapPage_ = new StandardMapPage(*model_, *feed_, *mapEditor_, *controls_, pages_);
    gridMapPage_ = new GridMapPage(*model_, *feed_, *mapEditor_, pages_);
    adaptationPage_ = new AdaptationPage(*controls_, *readings_, *feed_, messages_, progress_, pages_);
    advancedPage_ = new AdvancedPage(*model_, *runner_, *controls_, messages_, pages_);
    factoryPage_ = new FactoryPage(*controls_, pages_);
    injectorDiagPage_ = new InjectorDiagPage(*model_, *feed_, messages_, pages_);
    // The report reads the controls as they stand; the language controller knows where each one lives.
    const auto findForReport = [this](std::string_view form, std::string_view control) -> QObject* {
        if (languages_ == nullptr) return nullptr;
        if (QWidget* w = languages_->findControl(form, control)) return w;
        if (form != "TForm1") return nullptr;
        const QString name = QString::fromUtf8(control.data(), static_cast<qsizetype>(control.size()));
        if (QAction* item = menu_->findAction(name)) return item;
        // The unit beside the extra correction sits in its dialog here.
        return findChild<QWidget*>(name);
    };
    reportPage_ = new ReportPage(findForReport, messages_, pages_);
    emissionPage_ = new EmissionPage(*model_, *runner_, messages_, pages_);
    struct Entry {
        QWidget* widget;
        Page* page;
        const char* caption;
        bool tabShown;
    };
    const Entry entries[] = {
        {readingsPage_, readingsPage_, "Odczyty[F2]", false},
        {parametersPage_, parametersPage_, "Parametry", true},
        {oscilloscopePage_, oscilloscopePage_, "Oscyloskopy", true},
        {errorsPage_, errorsPage_, "Błędy", true},
        {standardMapPage_, standardMapPage_, "Mapa", true},
        {gridMapPage_, gridMapPage_, "Map [F5]", false},
        {adaptationPage_, adaptationPage_, "Adaptacja", true},
        {advancedPage_, advancedPage_, "Zaawansowane[F5]", false},
        {factoryPage_, factoryPage_, "Fabr.[F12]", false},
        {injectorDiagPage_, injectorDiagPage_, "Diagnostyka wtryskiwaczy (F9)", false},
        {reportPage_, reportPage_, "Odczyt konfiguracji (F10)", false},
        {emissionPage_, emissionPage_, "Emisja", false},
    };
    for (const auto& e : entries) {
        const int i = pages_->addTab(e.widget, QString::fromUtf8(e.caption));
        pages_->setTabVisible(i, e.tabShown);
        pageList_.push_back(e.page);
    }
    pages_->setCurrentWidget(parametersPage_);
    previousPage_ = pages_->currentIndex();
    connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::pageChanging);
}

void MainWindow::pageChanging(int index) {
    if (revertingPage_) return;
    const auto at = [this](int i) -> Page* {
        return i >= 0 && i < static_cast<int>(pageList_.size()) ? pageList_[static_cast<std::size_t>(i)] : nullptr;
    };
    if (Page* leaving = at(previousPage_); leaving != nullptr && !leaving->canLeave()) {
        revertingPage_ = true;
        pages_->setCurrentIndex(previousPage_);
        revertingPage_ = false;
        return;
    }
    previousPage_ = index;
    if (Page* entered = at(index)) entered->shown();
}

void MainWindow::addSimulatedEngine(std::function<void(const sim::DriverCommand&)> drive) {
    auto* dialog = new SimulatedEngineDialog(std::move(drive), this);
    QAction* item = menu_->menu(QStringLiteral("ResetSystemu1"))->addAction(QStringLiteral("Simulated engine…"));
    item->setObjectName(QStringLiteral("SimulatedEngine1"));
    connect(item, &QAction::triggered, dialog, [dialog] {
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    });
}

void MainWindow::createDialogs() {
    // Created at start-up in their order, as the program always has; they stay hidden until used.
    auto* vehicle = new VehicleDataDialog(*model_, *runner_, messages_, this);
    connect(menu_->action(QStringLiteral("OdczytajDaneSamochodu1")), &QAction::triggered, vehicle,
            &VehicleDataDialog::showVehicleData);
    connect(menu_->action(QStringLiteral("ZapiszDaneAuta1")), &QAction::triggered, vehicle,
            [vehicle] { (void)vehicle->editInstallationData(); });
    new SignalNoiseDialog(this);
    mapValueDialog_ = new MapValueDialog(this);
    gridMapPage_->setValueDialog(mapValueDialog_);
    auto* points = new PointEditorDialog(*model_, *runner_, messages_, this);
    connect(standardMapPage_, &StandardMapPage::editPointsRequested, points, &PointEditorDialog::edit);
    connect(gridMapPage_, &GridMapPage::editPointsRequested, points, &PointEditorDialog::edit);
    standardMapPage_->setValueDialog(mapValueDialog_);
    gridMapPage_->placeIdleSlider(new IdleSlider(*controls_, QStringLiteral("AbHSlider2"), gridMapPage_));
    new MapSelectionDialog(this);
    auto* injectorSettings = new InjectorSettingsDialog(*controls_, this);
    auto* idleCorrection = new IdleCorrectionDialog(*controls_, this);
    tankDialog_ = new TankSensorDialog(*controls_, *feed_, *factoryPage_, this);
    connect(parametersPage_, &ParametersPage::tankDialogRequested, tankDialog_, [this] { (void)tankDialog_->edit(); });
    // TForm13, the detection status window, belongs to the connection controller.
    new Form14Dialog(this);
    auto* turbo = new TurboDialog(*controls_, this);
    parametersPage_->setDialogs(injectorSettings, idleCorrection, turbo);
    parametersPage_->setAdvancedMemo(advancedPage_->descriptionMemo());
}

QWidget* MainWindow::page(const QString& name) const {
    for (int i = 0; i < pages_->count(); ++i)
        if (pages_->widget(i)->objectName() == name) return pages_->widget(i);
    return nullptr;
}

void MainWindow::showPage(QWidget* page) { pages_->setCurrentWidget(page); }

void MainWindow::wireShortcuts() {
    auto bind = [this](const char* item, QWidget* target, bool showLanguageMenu) {
        connect(menu_->action(QString::fromLatin1(item)), &QAction::triggered, this, [this, target, showLanguageMenu] {
            if (showLanguageMenu) menu_->menu(QStringLiteral("Jzyk1"))->menuAction()->setVisible(true);
            showPage(target);
        });
    };
    bind("KSParam", parametersPage_, true);
    bind("KSOscy", oscilloscopePage_, true);
    bind("KSError", errorsPage_, true);
    bind("KSMapa", standardMapPage_, true);
    bind("KSMapa2", gridMapPage_, true);
    bind("KSAdaptacja", adaptationPage_, false);
    bind("OdczytyF21", readingsPage_, false);
    bind("OscyloskopyF31", oscilloscopePage_, false);
    bind("ParametryF41", parametersPage_, false);
    bind("ZaawansowaneF51", advancedPage_, false);
    bind("AutoadaptacjaF61", adaptationPage_, false);
    connect(menu_->action(QStringLiteral("Mapa1")), &QAction::triggered, this, [this] { openMap(1); });
    connect(menu_->action(QStringLiteral("MapaInj1")), &QAction::triggered, this, [this] { openMap(2); });
    connect(readingsPage_, &ReadingsPage::mapRequested, this, [this] { openMap(2); });
    connect(side_, &SidePanel::mapChosen, this, [this](int mode) {
        if (mode == 2) menu_->menu(QStringLiteral("Jzyk1"))->menuAction()->setVisible(true);
        openMap(mode);
    });
    connect(standardMapPage_, &StandardMapPage::exitRequested, this, [this] { leaveMap(standardMapPage_, parametersPage_); });
    connect(gridMapPage_, &GridMapPage::exitRequested, this, [this] { leaveMap(gridMapPage_, readingsPage_); });
    bind("Fabr1", factoryPage_, false);
    bind("DiagnosytkaWtryskiwaczy1", injectorDiagPage_, false);
    bind("Odczytkonfiguracji1", reportPage_, false);
    bind("Emisja1", emissionPage_, false);
    menu_->setMapModeShortcut(2);

    // Kept hidden, as ever: the report's line about the map mode reads its text.
    auto* modeList = new QComboBox(this);
    modeList->setObjectName(QStringLiteral("ComboBoxMapa"));
    modeList->addItems({QStringLiteral("Bez Mapy"), QStringLiteral("Mapa Obciazenie + RPM"),
                        QStringLiteral("Mapa Obciazeniowa")});
    modeList->hide();
    connect(model_, &ConfigurationModel::readFinished, this, &MainWindow::showMapModeOfRead);
    connect(model_, &ConfigurationModel::parameterChanged, this, [this](int slot) {
        if (slot == params::pn::SecondFlags) showMapModeOfRead();
    });
}

void MainWindow::showMapModeOfRead() {
    const int mode = static_cast<int>(model_->image().field(params::field::MapMode));
    if (auto* list = findChild<QComboBox*>(QStringLiteral("ComboBoxMapa"))) list->setCurrentIndex(mode <= 2 ? mode : -1);
    if (auto* mixture = findChild<QWidget*>(QStringLiteral("EditWzbogacanieMieszanki"))) mixture->setEnabled(mode == 0);
    applyMapMode(mode);
}

void MainWindow::wireDiagnostics() {
    const auto showErrors = [this] {
        errorsPage_->showErrors();
        showPage(errorsPage_);
    };
    connect(side_, &SidePanel::errorLampClicked, this, showErrors);
    connect(menu_->action(QStringLiteral("OdczytajKodyBdw1")), &QAction::triggered, this, showErrors);
    connect(menu_->action(QStringLiteral("KasujKodyBdw1")), &QAction::triggered, this,
            [this] { (void)errorsPage_->sendClear(); });
    connect(menu_->action(QStringLiteral("OdczytajCzasPracy1")), &QAction::triggered, this,
            [this] { ReadAndShowWorkTime(*runner_, *model_, messages_, this); });
    connect(injectorDiagPage_, &InjectorDiagPage::exitRequested, this, [this] {
        pages_->setTabVisible(pages_->indexOf(gridMapPage_), false);
        showPage(advancedPage_);
    });
    connect(languages_, &LanguageController::languageChanged, cylinders_, &CylinderPanel::showSwitches);
    // Texts the panels and the detection window compose themselves, before any frame re-places them.
    connect(languages_, &LanguageController::languageChanged, side_, &SidePanel::languageChanged);
    connect(languages_, &LanguageController::languageChanged, connection_->statusWindow(),
            &StatusWindow::languageChanged);
}

void MainWindow::wireMapEditing() {
    QAction* undo = menu_->action(QStringLiteral("CofnijMape1"));
    QAction* redo = menu_->action(QStringLiteral("PonowMape1"));
    const auto follow = [this, undo, redo] {
        undo->setEnabled(mapEditor_->canUndo());
        redo->setEnabled(mapEditor_->canRedo());
    };
    connect(undo, &QAction::triggered, this, [this] { (void)mapEditor_->undo(); });
    connect(redo, &QAction::triggered, this, [this] { (void)mapEditor_->redo(); });
    connect(mapEditor_, &MapEditor::historyChanged, this, follow);
    follow();
    // The program's own items: their captions are its own texts, in the language chosen.
    connect(languages_, &LanguageController::languageChanged, this, &MainWindow::showEditMenuTexts);
    // The port captions are composed from the message store (entry, adapter, "not present").
    connect(languages_, &LanguageController::languageChanged, connection_, &ConnectionController::scanPorts);
    showEditMenuTexts();
}

void MainWindow::showEditMenuTexts() {
    menu_->menu(QStringLiteral("Edycja1"))->setTitle(Text(messages_, i18n::msg::EditMenu));
    menu_->action(QStringLiteral("CofnijMape1"))->setText(Text(messages_, i18n::msg::UndoMapEdit));
    menu_->action(QStringLiteral("PonowMape1"))->setText(Text(messages_, i18n::msg::RedoMapEdit));
    menu_->action(QStringLiteral("PrzywrocKopie1"))->setText(Text(messages_, i18n::msg::RestoreBackup));
    menu_->action(QStringLiteral("PorownajZPlikiem1"))->setText(Text(messages_, i18n::msg::CompareWithFile));
    menu_->action(QStringLiteral("ZapisLogu1"))->setText(Text(messages_, i18n::msg::LogLiveData));
    if (liveLog_ != nullptr) liveLog_->showTexts();
}

bool MainWindow::sendMapMode(int mode) {
    return controls_->run([mode](link::Link& link, params::ProgramState& state) -> params::SettingResult {
        maps::SetMapMode(link, state.image, mode);
        return params::SettingOutcome{};
    });
}

void MainWindow::openMap(int mode) {
    // The page of a map always edits the map the controller works with.
    if (!sendMapMode(mode)) return;
    applyMapMode(mode);
    showPage(mode == 1 ? static_cast<QWidget*>(gridMapPage_) : standardMapPage_);
}

void MainWindow::leaveMap(QWidget* mapPage, QWidget* next) {
    if (!sendMapMode(0)) return;
    revertingPage_ = true;
    pages_->setTabVisible(pages_->indexOf(mapPage), false);
    revertingPage_ = false;
    showPage(next);
}

void MainWindow::applyMapMode(int mode) {
    if (mode != 1 && mode != 2) return;
    const int grid = pages_->indexOf(gridMapPage_);
    const int standard = pages_->indexOf(standardMapPage_);
    QWidget* const current = pages_->currentWidget();
    const bool onMapPage = pages_->currentIndex() == grid || pages_->currentIndex() == standard;
    // Hiding the current tab would make the tab widget jump to a neighbour on its own (maybe the
    // adaptation page); a change of map mode is no page change of the user's.
    revertingPage_ = true;
    pages_->setTabVisible(mode == 1 ? grid : standard, true);
    if (onMapPage) pages_->setCurrentIndex(mode == 1 ? grid : standard);
    pages_->setTabVisible(mode == 1 ? standard : grid, false);
    // A page whose tab is hidden (the readings) stays in front: the tab bar would move to a visible one.
    if (!onMapPage) pages_->setCurrentWidget(current);
    previousPage_ = pages_->currentIndex();
    revertingPage_ = false;
    menu_->setMapModeShortcut(mode);
}

void MainWindow::showStale(bool stale) {
    for (QWidget* view : {static_cast<QWidget*>(side_), static_cast<QWidget*>(cylinders_),
                          static_cast<QWidget*>(readingsPage_)})
        ShowStale(view, stale);
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
    applyMapMode(static_cast<int>(model_->image().field(params::field::MapMode)));
    advancedPage_->writeDefaultFilters();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (runner_->busy()) {
        // Closing in the middle of a sequence would cut it between two frames: close once it has ended.
        closePending_ = true;
        event->ignore();
        return;
    }
    connection_->stop();
    readings_->timer()->stop();
    adaptationPage_->shutDown();
    line_.link().closePort();
    liveLog_->stop();
    event->accept();
}

}  // namespace sequaflow::ui
