#include "ui/main_menu.h"

#include <QMenu>
#include <QShortcut>

#include "link/port_table.h"

namespace sequaflow::ui {
namespace {

struct MenuDef {
    const char* name;
    const char* caption;
    bool visible;
};

struct ItemDef {
    const char* menu;
    const char* name;
    const char* caption;
    bool visible;
    bool checkable;
    const char* shortcut;  // empty: none
};

constexpr MenuDef kMenus[] = {
    {"Plik1", "Plik", true},        {"Port1", "Port", true},            {"Opcje1", "Opcje", true},
    {"Edycja1", "Edycja", true},    {"Komenda1", "Komenda", true},      {"ResetSystemu1", "Dodatki", true},
    {"Rozdzielczo1", "Rozdzielczosc", false},
    {"Jzyk1", "Jezyk", true},       {"Pomoc1", "Pomoc", true},          {"menukestra", "menukestra", false},
};

constexpr ItemDef kItems[] = {
    {"Plik1", "OdczytajParametryCTRLO1", "Odczytaj Parametry", true, false, "Ctrl+O"},
    {"Plik1", "ZapiszParametryCTRLS1", "Zapisz Parametry", true, false, "Ctrl+S"},
    {"Plik1", "Odczytajparametrybezwlstero1", "Odczytaj parametry bez wł. sterownika", false, false, ""},
    // The program's own: the backups kept of each controller, a file compared with the screen, the live log.
    {"Plik1", "PrzywrocKopie1", "Przywróć kopię zapasową…", true, false, ""},
    {"Plik1", "PorownajZPlikiem1", "Porównaj z plikiem…", true, false, ""},
    {"Plik1", "ZapisLogu1", "Zapisuj odczyty do logu", true, true, ""},
    {"Port1", "AutodetekcjaCTRLD1", "Autodetekcja", true, false, "Ctrl+D"},
    {"Opcje1", "OdczytyF21", "Odczyty[F2]", false, false, ""},
    {"Opcje1", "OscyloskopyF31", "Oscyloskopy", true, false, ""},
    {"Opcje1", "ParametryF41", "Parametry", true, false, ""},
    {"Opcje1", "ZaawansowaneF51", "Zaawansowane", false, false, ""},
    {"Opcje1", "AutoadaptacjaF61", "Autoadaptacja", true, false, ""},
    {"Opcje1", "Mapa1", "Mapa", false, false, ""},
    {"Opcje1", "MapaInj1", "Mapa Inj", true, false, ""},
    {"Opcje1", "Fabr1", "Fabr.", false, false, ""},
    {"Opcje1", "DiagnosytkaWtryskiwaczy1", "Diagnostyka wtryskiwaczy", false, false, ""},
    {"Opcje1", "Odczytkonfiguracji1", "Odczyt konfiguracji", false, false, ""},
    {"Opcje1", "Emisja1", "Emisja", true, false, ""},
    // The program's own: undo and redo of the session's map edits.
    {"Edycja1", "CofnijMape1", "Cofnij zmianę mapy", true, false, "Ctrl+Z"},
    {"Edycja1", "PonowMape1", "Ponów zmianę mapy", true, false, "Ctrl+Y"},
    {"Komenda1", "PrzecznaBenzyn1", "Przelacz na Benzyne", true, false, ""},
    {"Komenda1", "PrzecznaAutomat1", "Przelacz na Automat", true, false, ""},
    {"Komenda1", "PrzecznaLPG1", "Przelacz na LPG", true, false, ""},
    {"Komenda1", "OdczytajKodyBdw1", "Odczytaj Kody Błędów", false, false, ""},
    {"Komenda1", "KasujKodyBdw1", "Kasuj Kody Błędów", false, false, ""},
    {"Komenda1", "przelacznikbg", "przelacznikbg", false, false, "Space"},
    {"ResetSystemu1", "OdczytajCzasPracy1", "Odczytaj Czas Pracy Sterownika", true, false, ""},
    {"ResetSystemu1", "OdczytajDaneSamochodu1", "Odczytaj Dane Samochodu Ze Sterownika", true, false, ""},
    {"ResetSystemu1", "ZapiszDaneAuta1", "Zapisz Dane Samochodu do Sterownika", true, false, ""},
    {"ResetSystemu1", "ResetSystemu2", "Przywróc Ustawienia Fabryczne Sterownika", true, false, ""},
    {"ResetSystemu1", "spacjaprzelaczabg1", "<spacja> przejscie b/g", true, true, ""},
    {"Rozdzielczo1", "N640x4801", "640x480", false, true, ""},
    {"Rozdzielczo1", "N800x6001", "800x600", true, true, ""},
    {"Rozdzielczo1", "N1024x7681", "1024x768", true, true, ""},
    {"Rozdzielczo1", "N1280x10241", "1280x1024", true, true, ""},
    {"Jzyk1", "Angielski1", "Angielski", true, true, ""},
    {"Jzyk1", "Niemiecki1", "Niemiecki", true, true, ""},
    {"Jzyk1", "Polski1", "Polski", true, true, ""},
    {"Jzyk1", "Rosyjski1", "Rosyjski", true, true, ""},
    {"Jzyk1", "Litewski1", "litewski (lt)", true, true, ""},
    {"Jzyk1", "Wloski1", "wloski", true, true, ""},
    {"Jzyk1", "Serbski1", "serbski", true, true, ""},
    {"Jzyk1", "Chorwacki1", "chorwacki", true, true, ""},
    {"Jzyk1", "Turecki1", "turkish", true, true, ""},
    {"Pomoc1", "Help1", "Help", true, false, "F1"},
    {"Pomoc1", "OProgramie1", "O Programie", true, false, ""},
    {"Pomoc1", "SchematMontaowy1", "Schemat Montazowy", false, false, ""},
    {"menukestra", "KSParam", "KSParam", false, false, "F2"},
    {"menukestra", "KSOscy", "KSOscy", false, false, "F3"},
    {"menukestra", "KSError", "KSError", false, false, "F4"},
    {"menukestra", "KSMapa", "KSMapa", false, false, "F5"},
    {"menukestra", "KSMapa2", "KSMapa2", false, false, ""},
    {"menukestra", "KSAdaptacja", "KSAdaptacja", false, false, "F6"},
};

QString PortItemName(int index) {
    if (index < 8) return QStringLiteral("COM") + QString::number(index + 1) + QStringLiteral("CTRL") + QString::number(index + 1) + QStringLiteral("1");
    return QStringLiteral("COM%1_").arg(index + 1);
}

}  // namespace

MainMenu::MainMenu(QMenuBar* bar, QWidget* window) : window_(window) {
    for (const auto& m : kMenus) {
        auto* menu = bar->addMenu(QString::fromUtf8(m.caption));
        menu->setObjectName(QString::fromLatin1(m.name));
        menu->menuAction()->setObjectName(QString::fromLatin1(m.name));
        menu->menuAction()->setVisible(m.visible);
        menus_.insert(menu->objectName(), menu);
    }
    auto addItem = [this](QMenu* menu, const QString& name, const QString& caption, bool visible, bool checkable,
                          const QString& shortcut) {
        auto* a = menu->addAction(caption);
        a->setObjectName(name);
        a->setCheckable(checkable);
        a->setVisible(visible);
        if (!shortcut.isEmpty()) {
            // A hidden item's shortcut must still work: hidden actions ignore their own shortcut, so the
            // window carries it.
            if (visible && menu->menuAction()->isVisible()) {
                a->setShortcut(QKeySequence(shortcut));
            } else {
                auto* sc = new QShortcut(QKeySequence(shortcut), window_);
                sc->setObjectName(name + QStringLiteral("Shortcut"));
                QObject::connect(sc, &QShortcut::activated, a, &QAction::trigger);
            }
        }
        actions_.insert(name, a);
        return a;
    };
    for (const auto& it : kItems) {
        QMenu* menu = menus_.value(QString::fromLatin1(it.menu));
        addItem(menu, QString::fromLatin1(it.name), QString::fromUtf8(it.caption), it.visible, it.checkable,
                QString::fromLatin1(it.shortcut));
        if (QString::fromLatin1(it.name) == QLatin1String("AutodetekcjaCTRLD1")) {
            for (int i = 0; i < link::kPortCount; ++i)
                addItem(menu, PortItemName(i), QString::fromStdString(link::PortTable::Caption(i)), true, true, {});
            // The program's own: read the devices again, and the adapters that no entry leads to. Their texts
            // come from the connection controller, in the current language.
            menu->addSeparator();
            addItem(menu, QStringLiteral("SkanujPorty1"), QStringLiteral("Skanuj porty"), true, false, {});
            auto* others = menu->addMenu(QStringLiteral("Inne adaptery"));
            others->setObjectName(QStringLiteral("InneAdaptery1"));
            others->menuAction()->setObjectName(QStringLiteral("InneAdaptery1"));
            menus_.insert(others->objectName(), others);
        }
    }
}

QAction* MainMenu::action(const QString& name) const {
    if (QAction* a = actions_.value(name)) return a;
    Q_ASSERT_X(false, "MainMenu::action", qPrintable(QStringLiteral("unknown menu item ") + name));
    qCritical("unknown menu item %s", qPrintable(name));
    if (unknownAction_ == nullptr) {
        unknownAction_ = new QAction(window_);
        unknownAction_->setEnabled(false);  // trigger() on a disabled action emits nothing
        unknownAction_->setVisible(false);
    }
    return unknownAction_;
}

QMenu* MainMenu::menu(const QString& name) const {
    if (QMenu* m = menus_.value(name)) return m;
    Q_ASSERT_X(false, "MainMenu::menu", qPrintable(QStringLiteral("unknown menu ") + name));
    qCritical("unknown menu %s", qPrintable(name));
    if (unknownMenu_ == nullptr) {
        unknownMenu_ = new QMenu(window_);  // in no menu bar: nobody can open it
        unknownMenu_->setEnabled(false);
        unknownMenu_->menuAction()->setVisible(false);
    }
    return unknownMenu_;
}

QAction* MainMenu::portItem(int index) const { return actions_.value(PortItemName(index)); }

void MainMenu::uncheckAllPorts() {
    for (int i = 0; i < link::kPortCount; ++i) portItem(i)->setChecked(false);
}

void MainMenu::checkPort(int number) {
    if (number >= 1 && number <= link::kPortCount) portItem(number - 1)->setChecked(true);
}

void MainMenu::setMapModeShortcut(int mode) {
    auto* f5 = window_->findChild<QShortcut*>(QStringLiteral("KSMapaShortcut"));
    if (!f5) return;
    // One shortcut object, re-aimed at the item of the mode; the other item has none.
    QObject::disconnect(f5, &QShortcut::activated, nullptr, nullptr);
    QAction* target = action(mode == 1 ? QStringLiteral("KSMapa2") : QStringLiteral("KSMapa"));
    QObject::connect(f5, &QShortcut::activated, target, &QAction::trigger);
}

}  // namespace sequaflow::ui
