#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

#include "i18n/message_store.h"
#include "link/controller_link.h"
#include "params/program_state.h"

class QProgressBar;
class QTabWidget;

namespace sequaflow::sim {
struct DriverCommand;
}

namespace sequaflow::ui {

class AboutDialog;
class AdaptationPage;
class AdvancedPage;
class AppSettings;
class ConfigurationController;
class ConfigurationModel;
class ConnectionController;
class CylinderPanel;
class EmissionPage;
class ErrorsPage;
class FactoryPage;
class GridMapPage;
class InjectorDiagPage;
class LanguageController;
class LiveFeed;
class LiveLogController;
class MapEditor;
class MapValueDialog;
class MainMenu;
class OscilloscopePage;
class Page;
class ParameterControls;
class ParametersPage;
class ReadingsController;
class ReadingsPage;
class ReportPage;
class SequenceRunner;
class SidePanel;
class StandardMapPage;
class TankSensorDialog;

// TForm1, the composition root of the window: makes the runner, the configuration model and the live feed
// over the line and the program state it is given, hands them to the controllers and pages, and wires the
// menu, the pages and the timers. The work is done by the controllers and the pages.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    // `dataFolder` holds jezyk.txt, rozdz.txt, parametry/ and logs/; empty: the current folder.
    MainWindow(link::ControllerLink& line, params::ProgramState& state, i18n::MessageStore& messages,
               AppSettings& settings, QString dataFolder = QString(), QWidget* parent = nullptr);
    ~MainWindow() override;

    MainMenu& menu() { return *menu_; }
    SequenceRunner& runner() { return *runner_; }
    ConfigurationModel& model() { return *model_; }
    LiveFeed& feed() { return *feed_; }
    LiveLogController& liveLog() { return *liveLog_; }
    MapEditor& mapEditor() { return *mapEditor_; }
    ParameterControls& parameterControls() { return *controls_; }
    ConnectionController& connection() { return *connection_; }
    ConfigurationController& configuration() { return *configuration_; }
    ReadingsController& readings() { return *readings_; }
    LanguageController& languages() { return *languages_; }
    AboutDialog& about() { return *about_; }
    const QString& dataFolder() const { return dataFolder_; }
    QTabWidget* pages() { return pages_; }

    ReadingsPage& readingsPage() { return *readingsPage_; }
    AdvancedPage& advancedPage() { return *advancedPage_; }
    StandardMapPage& standardMapPage() { return *standardMapPage_; }
    GridMapPage& gridMapPage() { return *gridMapPage_; }
    MapValueDialog& mapValueDialog() { return *mapValueDialog_; }
    AdaptationPage& adaptationPage() { return *adaptationPage_; }
    FactoryPage& factoryPage() { return *factoryPage_; }
    TankSensorDialog& tankSensorDialog() { return *tankDialog_; }

    // Page by objectName ("TabSheet3" ...), for the language files and the tests that name pages so.
    QWidget* page(const QString& name) const;
    void showPage(QWidget* page);
    // Shows the tab of the grid map (mode 1) or of the standard map (mode 2) and moves F5 with it.
    void applyMapMode(int mode);
    // What a read or a load shows of the controller's map mode: the map page of its kind, the hidden
    // ComboBoxMapa, and the single correction's field enabled only without a map.
    void showMapModeOfRead();
    // MapyButton, MapaInj1, sbMapStd (2) and Mapa1, sbMapAdv (1): the controller's map mode, then its page.
    void openMap(int mode);
    // The steps of the first activation; also run by the first showEvent.
    void firstActivation();
    // Instead of the saved port, connect to this entry at the first activation (as its menu item would).
    void setStartPort(int index) { startPort_ = index; }
    // With the built-in simulated controller only: the item "Simulated engine…" of the "Dodatki" menu opens
    // the driver's window, which hands each command to `drive`.
    void addSimulatedEngine(std::function<void(const sim::DriverCommand&)> drive);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPages();
    void createDialogs();
    void wireShortcuts();
    // The error lamp and list, the work-time box and the way out of the injector test.
    void wireDiagnostics();
    void pageChanging(int index);
    void showStale(bool stale);
    // Writes the map mode (0 none, 1 advanced, 2 standard); false when the line was busy.
    bool sendMapMode(int mode);
    // The hidden exit buttons of the map pages: no map mode, the page's tab hidden, `next` opened.
    void leaveMap(QWidget* mapPage, QWidget* next);
    // Undo and redo of map edits in the edit menu, enabled by what the history holds.
    void wireMapEditing();
    void showEditMenuTexts();

    link::ControllerLink& line_;
    params::ProgramState& state_;
    i18n::MessageStore& messages_;
    AppSettings& settings_;
    QString dataFolder_;
    AboutDialog* about_ = nullptr;
    std::unique_ptr<MainMenu> menu_;
    SequenceRunner* runner_ = nullptr;
    ConfigurationModel* model_ = nullptr;
    LiveFeed* feed_ = nullptr;
    LiveLogController* liveLog_ = nullptr;
    MapEditor* mapEditor_ = nullptr;
    MapValueDialog* mapValueDialog_ = nullptr;
    ParameterControls* controls_ = nullptr;
    QTabWidget* pages_ = nullptr;
    SidePanel* side_ = nullptr;
    CylinderPanel* cylinders_ = nullptr;
    QProgressBar* progress_ = nullptr;
    ConnectionController* connection_ = nullptr;
    ConfigurationController* configuration_ = nullptr;
    ReadingsController* readings_ = nullptr;
    LanguageController* languages_ = nullptr;

    ReadingsPage* readingsPage_ = nullptr;
    ParametersPage* parametersPage_ = nullptr;
    OscilloscopePage* oscilloscopePage_ = nullptr;
    ErrorsPage* errorsPage_ = nullptr;
    StandardMapPage* standardMapPage_ = nullptr;
    GridMapPage* gridMapPage_ = nullptr;
    AdaptationPage* adaptationPage_ = nullptr;
    AdvancedPage* advancedPage_ = nullptr;
    FactoryPage* factoryPage_ = nullptr;
    InjectorDiagPage* injectorDiagPage_ = nullptr;
    ReportPage* reportPage_ = nullptr;
    EmissionPage* emissionPage_ = nullptr;
    TankSensorDialog* tankDialog_ = nullptr;
    // Tab index to page, in tab order.
    std::vector<Page*> pageList_;

    int previousPage_ = 0;
    bool revertingPage_ = false;
    bool activated_ = false;
    bool closePending_ = false;
    int startPort_ = -1;
};

}  // namespace sequaflow::ui
