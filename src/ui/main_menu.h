#pragma once

#include <QAction>
#include <QHash>
#include <QMenuBar>
#include <QString>

namespace sequaflow::ui {

// Every menu and item of the main window, each a QAction whose objectName is the item's name. Hidden
// items exist (their actions can be triggered, and their shortcuts work through the window).
class MainMenu {
public:
    MainMenu(QMenuBar* bar, QWidget* window);

    QAction* action(const QString& name) const { return actions_.value(name); }
    QMenu* menu(const QString& name) const { return menus_.value(name); }
    // The 25 port items in index order.
    QAction* portItem(int index) const;
    void uncheckAllPorts();
    void checkPort(int number);  // 1..25
    // Moves F5 to the item of the map mode (1 grid map, 2 standard map).
    void setMapModeShortcut(int mode);

private:
    QHash<QString, QAction*> actions_;
    QHash<QString, QMenu*> menus_;
    QWidget* window_;
};

}  // namespace sequaflow::ui
