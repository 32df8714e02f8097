// The window in each of the nine languages, as a user sees it: every text in the language chosen, none cut
// short, and a small screen (800 x 600) that scrolls a page rather than squeezing its controls.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabWidget>
#include <QtTest>
#include <map>
#include <set>

#include "i18n/caption_table.h"
#include "i18n/language_table.h"
#include "i18n/message_store.h"
#include "ui/connection_controller.h"
#include "ui/dialogs/status_window.h"
#include "ui/language_controller.h"
#include "ui/main_menu.h"
#include "ui_rig.h"
#include "ui/widgets/colour_button.h"

using namespace sequaflow;
using testing_support::Behind;
using testing_support::VirtualRig;

namespace {

QString Text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

QString Where(const QWidget* w) {
    QString path = w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
    for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget())
        if (!p->objectName().isEmpty()) return p->objectName() + QLatin1Char('/') + path;
    return path;
}

QString Plain(QString text) { return text.remove(QLatin1Char('&')); }

// A window not connected to any controller: nothing but a language change can re-place its texts.
struct Rig : VirtualRig {
    explicit Rig(int language) : VirtualRig(Behind::Nothing, 0, false) {
        dialogs.setAnswer(QMessageBox::Yes);  // leaving the adaptation page
        window->show();
        QCoreApplication::processEvents();
        (void)window->languages().selectLanguage(language);
        QCoreApplication::processEvents();
    }
    ui::StatusWindow* detection() { return window->connection().statusWindow(); }
    // Each page in turn in front (the hidden tabs too: menus and keys open them), laid out, then `visit`.
    template <class Visit>
    void eachPage(Visit visit) {
        QTabWidget* tabs = window->pages();
        for (int i = 0; i < tabs->count(); ++i) {
            window->showPage(tabs->widget(i));
            QCoreApplication::processEvents();
            if (tabs->currentIndex() != i) qFatal("page %d could not be opened", i);
            visit(tabs->widget(i));
        }
    }
};

// One text on screen, with the widget that shows it.
struct Shown {
    const QWidget* widget;
    QString text;
};

// Every text a user reads inside `root` as it stands: captions of labels, buttons, check boxes and groups,
// the painted captions, read-only fields, the chosen entry of lists, the instruments' names, window titles.
QList<Shown> VisibleTexts(QWidget* root) {
    QList<Shown> out;
    if (root->isWindow()) out.push_back({root, root->windowTitle()});
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        if (auto* l = qobject_cast<QLabel*>(w)) out.push_back({w, l->text()});
        else if (auto* b = qobject_cast<QAbstractButton*>(w)) out.push_back({w, Plain(b->text())});
        else if (auto* g = qobject_cast<QGroupBox*>(w)) out.push_back({w, g->title()});
        else if (auto* e = qobject_cast<QLineEdit*>(w); e != nullptr && e->isReadOnly()) out.push_back({w, e->text()});
        else if (auto* c = qobject_cast<QComboBox*>(w)) out.push_back({w, c->currentText()});
        for (const char* property : {"onText", "signalName", "unitText", "caption"}) {
            const QVariant v = w->property(property);
            if (v.typeId() == QMetaType::QString) out.push_back({w, v.toString()});
        }
        if (auto* tabs = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->isTabVisible(i)) out.push_back({w, tabs->tabText(i)});
    }
    return out;
}

// Letters of Polish that no other of the nine languages writes (ą and ę are Lithuanian too).
bool HasPolishLetters(const QString& text, int language) {
    static const QString kOnlyPolish = QStringLiteral("łŁńŃśŚźŹżŻ");
    static const QString kPolishAndLithuanian = QStringLiteral("ąĄęĘ");
    for (QChar c : text) {
        if (kOnlyPolish.contains(c)) return true;
        if (language != 5 && kPolishAndLithuanian.contains(c)) return true;
    }
    return false;
}

// Whether the text of `w` is drawn whole in it; `need` and `room` say by how much when not. False for a
// widget that draws no text of this kind.
bool Measure(QWidget* w, int& need, int& room) {
    if (auto* colour = qobject_cast<ui::ColourButton*>(w)) {
        if (colour->text().isEmpty()) return false;
        need = QFontMetrics(colour->captionFont()).horizontalAdvance(Plain(colour->text()));
        room = colour->width() - 2 * ui::ColourButton::kTextPadding;
        return true;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->text().isEmpty()) return false;
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        QStyle::SubElement contents = QStyle::SE_PushButtonContents;
        if (qobject_cast<QCheckBox*>(b)) contents = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<QRadioButton*>(b)) contents = QStyle::SE_RadioButtonContents;
        else if (auto* push = qobject_cast<QPushButton*>(b); push != nullptr && push->autoDefault())
            opt.features |= QStyleOptionButton::AutoDefaultButton;
        else if (push == nullptr) return false;  // tool buttons and the like: icons
        need = b->fontMetrics().horizontalAdvance(Plain(b->text()));
        room = b->style()->subElementRect(contents, &opt, b).width();
        return true;
    }
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text().isEmpty() || l->textFormat() == Qt::RichText || Qt::mightBeRichText(l->text())) return false;
        const QRect inside = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        if (l->wordWrap()) {
            // Broken over lines: every line must be there, and no single word wider than the label.
            need = l->heightForWidth(l->width());
            room = l->height();
            for (const QString& word : l->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
                if (l->fontMetrics().horizontalAdvance(word) > inside.width()) room = -1;
            return true;
        }
        need = 0;
        for (const QString& line : l->text().split(QLatin1Char('\n'))) need = std::max(need, l->fontMetrics().horizontalAdvance(line));
        room = inside.width();
        return true;
    }
    return false;
}

// Checks every shown text inside `root`; the cut ones go to `clipped`. Returns how many were checked.
int CheckFits(QWidget* root, QStringList& clipped) {
    int checked = 0;
    QList<QWidget*> all = root->findChildren<QWidget*>();
    for (QWidget* w : all) {
        if (!w->isVisible()) continue;
        int need = 0;
        int room = 0;
        if (!Measure(w, need, room)) continue;
        ++checked;
        if (need > room)
            clipped << QStringLiteral("%1 \"%2\": needs %3, has %4").arg(Where(w), w->property("text").toString()).arg(need).arg(room);
    }
    return checked;
}

// The least size a layout may give `w` without squeezing it (what QLayout itself takes as the minimum).
QSize LeastSize(const QWidget* w) {
    const QSizePolicy p = w->sizePolicy();
    const QSize hint = w->sizeHint();
    const QSize minHint = w->minimumSizeHint();
    QSize s(0, 0);
    if (p.horizontalPolicy() != QSizePolicy::Ignored)
        s.setWidth(p.horizontalPolicy() & QSizePolicy::ShrinkFlag ? minHint.width() : std::max(hint.width(), minHint.width()));
    if (p.verticalPolicy() != QSizePolicy::Ignored)
        s.setHeight(p.verticalPolicy() & QSizePolicy::ShrinkFlag ? minHint.height() : std::max(hint.height(), minHint.height()));
    s = s.boundedTo(w->maximumSize());
    if (w->minimumWidth() > 0) s.setWidth(w->minimumWidth());
    if (w->minimumHeight() > 0) s.setHeight(w->minimumHeight());
    // A text broken over lines needs the height of its lines at the width it got.
    if (w->hasHeightForWidth() && w->minimumHeight() == 0) s.setHeight(std::min(s.height(), w->heightForWidth(w->width())));
    return s;
}

// Widgets inside `root` that a layout made smaller than their least size.
QStringList Squeezed(QWidget* root) {
    QStringList out;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisible() || w->isWindow() || w->parentWidget() == nullptr) continue;
        QLayout* layout = w->parentWidget()->layout();
        if (layout == nullptr || w->parentWidget()->inherits("QScrollArea")) continue;  // placed by hand
        const QSize least = LeastSize(w);
        if (w->width() < least.width() || w->height() < least.height())
            out << QStringLiteral("%1 %2x%3 < %4x%5").arg(Where(w)).arg(w->width()).arg(w->height()).arg(least.width()).arg(least.height());
    }
    return out;
}

int g_checkedTexts = 0;

}  // namespace

class LanguageFitTest : public QObject {
    Q_OBJECT

    static void languageRows() {
        QTest::addColumn<int>("language");
        for (const auto& l : i18n::kLanguages) QTest::newRow(std::string(l.menuItem).c_str()) << l.number;
    }

private slots:
    void cleanupTestCase() { qInfo("%d shown texts checked for clipping", g_checkedTexts); }

    void everyShownTextFollowsTheLanguage_data() { languageRows(); }
    void everyShownTextFollowsTheLanguage() {
        QFETCH(int, language);
        if (language == i18n::kPolish) QSKIP("the built-in texts are Polish");
        // The built-in (Polish) texts, each with the ids that carry it.
        const i18n::MessageStore builtIn;
        std::map<QString, std::vector<int>> polish;
        for (const auto& row : i18n::CaptionTable()) polish[Text(builtIn.text(row.id))].push_back(row.id);

        Rig rig(language);
        QCOMPARE(rig.window->languages().currentLanguage(), language);
        QStringList left;
        const auto check = [&](const QList<Shown>& texts) {
            for (const Shown& s : texts) {
                const QString t = s.text.trimmed();
                if (t.isEmpty()) continue;
                // Polish where this language's file says something else for every id of that text.
                const auto it = polish.find(s.text);
                bool stale = false;
                if (it != polish.end()) {
                    stale = true;
                    for (int id : it->second)
                        if (Text(rig.messages.text(id)) == s.text) stale = false;
                }
                if (stale || HasPolishLetters(t, language)) left << Where(s.widget) + QStringLiteral(": ") + s.text;
            }
        };
        rig.eachPage([&](QWidget*) { check(VisibleTexts(rig.window.get())); });
        // The menus as they would open.
        for (QAction* menu : rig.window->menuBar()->actions()) {
            if (!menu->isVisible()) continue;
            check({{rig.window->menuBar(), menu->text()}});
            if (menu->menu() != nullptr)
                for (QAction* item : menu->menu()->actions())
                    if (item->isVisible() && !item->isSeparator()) check({{menu->menu(), item->text()}});
        }
        // The detection window, as the detection shows it.
        rig.detection()->show();
        QCoreApplication::processEvents();
        check(VisibleTexts(rig.detection()));
        rig.detection()->hide();
        left.removeDuplicates();
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
    }

    void nothingIsClipped_data() {
        QTest::addColumn<int>("language");
        QTest::addColumn<QSize>("size");
        for (const QSize size : {QSize(800, 600), QSize(1024, 768)})
            for (const auto& l : i18n::kLanguages)
                QTest::addRow("%s %dx%d", std::string(l.menuItem).c_str(), size.width(), size.height()) << l.number << size;
    }
    void nothingIsClipped() {
        QFETCH(int, language);
        QFETCH(QSize, size);
        Rig rig(language);
        rig.window->resize(size);
        QCoreApplication::processEvents();
        QStringList clipped;
        int checked = 0;
        rig.eachPage([&](QWidget*) { checked += CheckFits(rig.window.get(), clipped); });
        rig.detection()->show();
        QCoreApplication::processEvents();
        checked += CheckFits(rig.detection(), clipped);
        rig.detection()->hide();
        g_checkedTexts += checked;
        QVERIFY(checked > 100);
        clipped.removeDuplicates();
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
    }

    void smallScreenScrollsInsteadOfSqueezing_data() { languageRows(); }
    void smallScreenScrollsInsteadOfSqueezing() {
        QFETCH(int, language);
        Rig rig(language);
        // The whole window fits an 800 x 600 screen, frame and all.
        const QSize least = rig.window->minimumSizeHint().expandedTo(rig.window->minimumSize());
        QVERIFY2(least.width() <= 800 && least.height() <= 560,
                 qPrintable(QStringLiteral("%1x%2").arg(least.width()).arg(least.height())));
        rig.window->resize(800, 560);
        QCoreApplication::processEvents();
        QCOMPARE(rig.window->size(), QSize(800, 560));
        QStringList squeezed;
        rig.eachPage([&](QWidget*) { squeezed << Squeezed(rig.window.get()); });
        squeezed.removeDuplicates();
        QVERIFY2(squeezed.isEmpty(), qPrintable(squeezed.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(LanguageFitTest)
#include "language_fit_test.moc"
