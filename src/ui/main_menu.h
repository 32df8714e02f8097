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

    // The item or menu of that name. A name the menu does not have is a programming error: it asserts in a
    // debug build; a release build logs it and hands out a disabled stand-in that never fires, so a
    // misspelled name never crashes a workshop laptop.
    QAction* action(const QString& name) const;
    QMenu* menu(const QString& name) const;
    // The same for names that may legitimately be absent (caption-table targets): nullptr when unknown.
    QAction* findAction(const QString& name) const { return actions_.value(name); }
    QMenu* findMenu(const QString& name) const { return menus_.value(name); }
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
    mutable QAction* unknownAction_ = nullptr;
    mutable QMenu* unknownMenu_ = nullptr;
};

}  // namespace sequaflow::ui
