#pragma once

#include <QMainWindow>
#include <memory>

class QProgressBar;
class QTabWidget;

namespace sequaflow::ui {

class AppSettings;
class ConfigurationController;
class ConnectionController;
class CylinderPanel;
class LanguageController;
class MainMenu;
class ReadingsController;
class Session;
class SidePanel;

// TForm1: wires the menu, the pages, the two panels, the timers and the dialogs; the work is done by the
// controllers and the pages.
class MainWindow final : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(Session& session, AppSettings& settings, QWidget* parent = nullptr);
    ~MainWindow() override;

    MainMenu& menu() { return *menu_; }
    ConnectionController& connection() { return *connection_; }
    ConfigurationController& configuration() { return *configuration_; }
    ReadingsController& readings() { return *readings_; }
    LanguageController& languages() { return *languages_; }
    QTabWidget* pages() { return pages_; }
    // Page by objectName ("TabSheet3" ...).
    QWidget* page(const QString& name) const;
    void showPage(const QString& name);
    // Shows the tab of the grid map (mode 1) or of the standard map (mode 2) and moves F5 with it.
    void applyMapMode(int mode);
    // The steps of the first activation; also run by the first showEvent.
    void firstActivation();
    // Instead of the saved port, connect to this entry at the first activation (as its menu item would).
    void setStartPort(int index) { startPort_ = index; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPages();
    void createDialogs();
    void wireShortcuts();
    bool confirmLeavingAdaptation();

    Session& session_;
    AppSettings& settings_;
    std::unique_ptr<MainMenu> menu_;
    QTabWidget* pages_ = nullptr;
    SidePanel* side_ = nullptr;
    CylinderPanel* cylinders_ = nullptr;
    QProgressBar* progress_ = nullptr;
    ConnectionController* connection_ = nullptr;
    ConfigurationController* configuration_ = nullptr;
    ReadingsController* readings_ = nullptr;
    LanguageController* languages_ = nullptr;
    int previousPage_ = 0;
    bool revertingPage_ = false;
    bool activated_ = false;
    bool closePending_ = false;
    int startPort_ = -1;
};

}  // namespace sequaflow::ui
