// The three dialogs driven on the offscreen platform: each modal dialog is
// answered by a queued single-shot that fills it in and presses a button.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTimer>
#include <QTranslator>
#include <QtTest/QTest>

#include "dialogs/best_times_dialog.h"
#include "dialogs/custom_dialog.h"
#include "dialogs/game_dialogs.h"
#include "dialogs/name_dialog.h"
#include "dialogs/toolkit_texts.h"
#include "settings/best_times.h"
#include "tests/support/modal_dialogs.h"

namespace quorvel::dialogs {
namespace {

using core::Level;
using settings::BestTimes;
using settings::unknownPlayer;

// One application for all tests, deleted once they have run so that nothing
// of it is left for the leak check.
class ApplicationEnvironment : public ::testing::Environment {
  public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "dialogs_tests";
        static char* argv[] = {name, nullptr};
        app_ = new QApplication(argc, argv);
    }
    void TearDown() override { delete app_; }

  private:
    QApplication* app_ = nullptr;
};

const auto* const kApplication = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

class DialogTest : public ::testing::Test {
  protected:
    // Runs answer once the modal dialog that the caller opens next is showing
    // and active, so that keys go where the player's would.
    static void whenShown(std::function<void()> answer) {
        quorvel::support::whenModalShown([answer = std::move(answer)](QWidget*) { answer(); });
    }

    template <typename T>
    static T* child(QWidget& dialog, const char* name) {
        T* found = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static QString text(QWidget& dialog, const char* labelName) {
        return child<QLabel>(dialog, labelName)->text();
    }
};

using quorvel::support::typeText;

void expectFixedModalDialog(const QDialog& dialog, const QString& title, QSize size) {
    EXPECT_EQ(dialog.windowTitle(), title);
    EXPECT_EQ(dialog.size(), size);
    EXPECT_EQ(dialog.minimumSize(), size);
    EXPECT_EQ(dialog.maximumSize(), size);
    EXPECT_TRUE(dialog.isModal());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMaximizeButtonHint);
}

// Every fixed text of the dialog shows whole in its control, in the font the
// control actually uses.
void expectTextsShowWhole(QWidget& dialog) {
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label->text().isEmpty()) {
            continue;
        }
        const QFontMetrics metrics(label->font());
        const QRect room = label->contentsRect();
        const QRect needed =
            label->wordWrap()
                ? metrics.boundingRect(QRect(0, 0, room.width(), 10000), Qt::TextWordWrap,
                                       label->text())
                : QRect(0, 0, metrics.horizontalAdvance(label->text()), metrics.height());
        EXPECT_LE(needed.width(), room.width()) << label->text().toStdString();
        EXPECT_LE(needed.height(), room.height()) << label->text().toStdString();
    }
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        const QFontMetrics metrics(button->font());
        EXPECT_LE(metrics.horizontalAdvance(button->text()), room.width())
            << button->text().toStdString();
        EXPECT_LE(metrics.height(), room.height()) << button->text().toStdString();
    }
    for (QGroupBox* frame : dialog.findChildren<QGroupBox*>()) {
        QStyleOptionGroupBox option;
        option.initFrom(frame);
        option.text = frame->title();
        option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
        const QRect label = frame->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                           QStyle::SC_GroupBoxLabel, frame);
        EXPECT_LE(label.right(), frame->width()) << frame->title().toStdString();
        EXPECT_GE(label.width(), QFontMetrics(frame->font()).horizontalAdvance(frame->title()));
    }
}

// --- Best times.

TEST_F(DialogTest, BestTimesShowsEachLevelInItsRow) {
    BestTimes table;
    table.setRecord(Level::Beginner, 57, QStringLiteral("Jan"));
    table.setRecord(Level::Advanced, 120, QStringLiteral("Čeněk"));
    table.setRecord(Level::Expert, 300, QStringLiteral("Eva"));
    BestTimesDialog dialog(table, [] {});
    expectFixedModalDialog(dialog, QStringLiteral("Nejlepší časy"), QSize(323, 154));
    EXPECT_EQ(child<QGroupBox>(dialog, "frame")->geometry(), QRect(11, 11, 303, 102));
    EXPECT_EQ(child<QPushButton>(dialog, "resetButton")->geometry(), QRect(140, 122, 84, 23));
    EXPECT_EQ(child<QPushButton>(dialog, "okButton")->geometry(), QRect(230, 122, 84, 23));

    QStringList shown;
    whenShown([&] {
        for (const char* name :
             {"levelLabel0", "timeLabel0", "nameLabel0", "levelLabel1", "timeLabel1", "nameLabel1",
              "levelLabel2", "timeLabel2", "nameLabel2"}) {
            shown.append(text(dialog, name));
        }
        EXPECT_EQ(child<QLabel>(dialog, "timeLabel1")->geometry(), QRect(105, 49, 73, 17));
        EXPECT_EQ(child<QLabel>(dialog, "nameLabel2")->geometry(), QRect(202, 74, 105, 17));
        EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>(dialog, "okButton"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    dialog.showTable();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(shown, (QStringList{"Začátečník:", "57 sekund", "Jan", "Pokročilý:", "120 sekund",
                                  "Čeněk", "Expert:", "300 sekund", "Eva"}));
}

TEST_F(DialogTest, ResetWritesAtOnceAndKeepsTheDialogOpen) {
    BestTimes table;
    table.setRecord(Level::Expert, 300, QStringLiteral("Eva"));
    int writes = 0;
    BestTimes atWrite;
    BestTimesDialog dialog(table, [&] {
        ++writes;
        atWrite = table;
    });
    bool openAfterReset = false;
    QString expertNameShown;
    whenShown([&] {
        child<QPushButton>(dialog, "resetButton")->click();
        openAfterReset = dialog.isVisible();
        expertNameShown = text(dialog, "nameLabel2");
        // Esc answers like "OK".
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    dialog.showTable();
    EXPECT_EQ(writes, 1);
    EXPECT_TRUE(openAfterReset);
    EXPECT_EQ(atWrite.fileTime(2), QStringLiteral("999"));
    EXPECT_EQ(expertNameShown, QStringLiteral("Neznámý hráč"));
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(DialogTest, TableSurvivesClosingByTheFrame) {
    BestTimes table;
    table.setRecord(Level::Advanced, 77, QStringLiteral("Ota"));
    int writes = 0;
    BestTimesDialog dialog(table, [&] { ++writes; });
    whenShown([&] { dialog.close(); });
    dialog.showTable();
    EXPECT_EQ(table.fileTime(1), QStringLiteral("77"));
    QString shownAgain;
    whenShown([&] {
        shownAgain = text(dialog, "nameLabel1");
        child<QPushButton>(dialog, "okButton")->click();
    });
    dialog.showTable();
    EXPECT_EQ(shownAgain, QStringLiteral("Ota"));
    EXPECT_EQ(writes, 0);
}

// --- Name entry.

TEST_F(DialogTest, NamePromptsPerLevel) {
    NameDialog dialog;
    expectFixedModalDialog(dialog, QStringLiteral("Blahopřeji"), QSize(222, 105));
    dialog.setPrompt(Level::Advanced);
    EXPECT_EQ(dialog.prompt(), QStringLiteral("Dosáhl(a) jsi nejlepšího času mezi pokročilými. "
                                              "Napiš, prosím, své jméno:"));
    dialog.setPrompt(Level::Custom);  // the custom board sets none
    EXPECT_EQ(dialog.prompt(), NameDialog::promptText(Level::Advanced));
    EXPECT_EQ(NameDialog::promptText(Level::Beginner),
              QStringLiteral("Dosáhl(a) jsi nejlepšího času mezi začátečníky. Napiš, prosím, "
                             "své jméno:"));
    EXPECT_EQ(NameDialog::promptText(Level::Expert),
              QStringLiteral("Dosáhl(a) jsi nejlepšího času mezi experty. Napiš, prosím, své "
                             "jméno:"));
}

TEST_F(DialogTest, HolderNameIsSelectedSoTypingReplacesIt) {
    NameDialog dialog;
    dialog.setPrompt(Level::Beginner);
    dialog.prepare(QStringLiteral("Neznámý hráč"));
    QLineEdit* field = child<QLineEdit>(dialog, "nameField");
    EXPECT_EQ(field->geometry(), QRect(11, 45, 201, 21));
    EXPECT_EQ(child<QPushButton>(dialog, "okButton")->geometry(), QRect(137, 74, 75, 21));
    bool focused = false;
    QString selected;
    int cursor = -1;
    whenShown([&] {
        focused = QApplication::focusWidget() == field;
        selected = field->selectedText();
        cursor = field->cursorPosition();
        typeText(field, QStringLiteral("Řehoř"));
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.askName(), QStringLiteral("Řehoř"));
    EXPECT_TRUE(focused);
    EXPECT_EQ(selected, QStringLiteral("Neznámý hráč"));
    EXPECT_EQ(cursor, 0);
}

TEST_F(DialogTest, NameClosedByTheFrameIsEmptyAndEscKeepsIt) {
    NameDialog dialog;
    dialog.prepare(QStringLiteral("Eva"));
    whenShown([&] { dialog.close(); });
    EXPECT_EQ(dialog.askName(), QString());

    dialog.prepare(QStringLiteral("Eva"));
    whenShown([&] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); });
    EXPECT_EQ(dialog.askName(), QStringLiteral("Eva"));
}

// A name as long as the file may hold would cost memory many times its length
// once laid out; the dialogs show its start, the table and the answer keep it.
TEST_F(DialogTest, LongNamesAreShownCutAndKeptWhole) {
    const QString longName = QStringLiteral("Jan ") + QString(1 << 20, QChar(u'ž'));
    const auto expectCut = [&](const QString& shown) {
        EXPECT_LE(shown.size(), 100);
        EXPECT_TRUE(shown.endsWith(QChar(u'…'))) << shown.toStdString();
        EXPECT_TRUE(longName.startsWith(shown.chopped(1))) << shown.toStdString();
    };
    BestTimes table;
    table.setRecord(Level::Advanced, 120, longName);
    BestTimesDialog best(table, [] {});
    expectCut(text(best, "nameLabel1"));
    EXPECT_EQ(text(best, "nameLabel0"), unknownPlayer());
    EXPECT_EQ(table.name(Level::Advanced), longName);

    NameDialog names;
    names.prepare(longName);
    whenShown([&] {
        expectCut(child<QLineEdit>(names, "nameField")->text());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(names.askName(), longName);
}

TEST_F(DialogTest, NameFieldTakesOnlyWhatTheFileCanStore) {
    NameDialog dialog;
    dialog.prepare(QString());
    QString typed;
    whenShown([&] {
        QLineEdit* field = child<QLineEdit>(dialog, "nameField");
        typeText(field, QStringLiteral("Ørsted Žák 日€"));
        typed = field->text();
        child<QPushButton>(dialog, "okButton")->click();
    });
    EXPECT_EQ(dialog.askName(), QStringLiteral("rsted Žák €"));
    EXPECT_EQ(typed, QStringLiteral("rsted Žák €"));

    Windows1250Validator validator;
    int position = 0;
    QString tab = QStringLiteral("a\tb");
    EXPECT_EQ(validator.validate(tab, position), QValidator::Invalid);
    QString c1 = QStringLiteral("a") + QChar(0x85);  // storable, but never seen
    EXPECT_EQ(validator.validate(c1, position), QValidator::Invalid);
    QString czech = QStringLiteral("Příliš žluťoučký kůň");
    EXPECT_EQ(validator.validate(czech, position), QValidator::Acceptable);
}

// Whether a best-times table was on the screen as a dialog left it.
class LeavingWatch : public QObject {
  public:
    explicit LeavingWatch(QWidget& leaving) { leaving.installEventFilter(this); }
    int hidden = 0;
    bool tableShownThen = false;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) {
            ++hidden;
            const QWidgetList windows = QApplication::topLevelWidgets();
            tableShownThen = std::any_of(windows.begin(), windows.end(), [](QWidget* window) {
                return qobject_cast<BestTimesDialog*>(window) != nullptr && window->isVisible();
            });
        }
        return false;
    }
};

// The answered name dialog leaves the screen only once the table after it is
// there, so that the focus goes from the one to the other and never to the game's
// window between them; with no table after it, it leaves when the loop runs again.
TEST_F(DialogTest, AnsweredNameLeavesOnceTheTableIsShown) {
    QWidget window;
    Dialogs dialogs;
    dialogs.setDialogParent(&window);
    BestTimes table;
    QWidget* name = nullptr;
    const auto answerName = [&] {
        dialogs.prepareNameEntry(QStringLiteral("Eva"));
        support::whenModalShown([&](QWidget* dialog) {
            name = dialog;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        EXPECT_EQ(dialogs.askName(Level::Beginner), QStringLiteral("Eva"));
        ASSERT_NE(name, nullptr);
        EXPECT_TRUE(name->isVisible()) << "the name dialog left before the table came";
    };

    answerName();
    const LeavingWatch watch(*name);
    // The table is answered once the name dialog has left (or after Qt Test's wait).
    bool tableShown = false;
    QTimer::singleShot(0, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* shown = qobject_cast<BestTimesDialog*>(window); shown && shown->isVisible()) {
                tableShown = true;
                EXPECT_TRUE(QTest::qWaitFor([&] { return !name->isVisible(); }))
                    << "the name dialog stays over the table";
                shown->accept();
            }
        }
    });
    dialogs.showBestTimes(table, [] {});
    ASSERT_TRUE(tableShown);
    EXPECT_FALSE(name->isVisible());
    EXPECT_EQ(watch.hidden, 1);
    EXPECT_TRUE(watch.tableShownThen) << "the name dialog left before the table was shown";

    answerName();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !name->isVisible(); }))
        << "with no table after it, the name dialog stays";
}

TEST_F(DialogTest, NameFieldRefusesControlCharactersUpToTheirEdges) {
    // The file's code page stores U+0001 .. U+001F and U+007F as the bytes they
    // are: only the rule against control characters (below U+0020, U+007F,
    // U+0080 .. U+009F), which no one would see, refuses them. The characters
    // next to those ranges are taken.
    Windows1250Validator validator;
    const auto check = [&](int c) {
        QString text = QStringLiteral("a") + QChar(c);
        int position = 0;
        return validator.validate(text, position);
    };
    for (const int c : {0x01, 0x1f, 0x7f, 0x81, 0x9f}) {
        EXPECT_EQ(check(c), QValidator::Invalid) << std::hex << c;
    }
    for (const int c : {0x20, 0x7e, 0xa0}) {
        EXPECT_EQ(check(c), QValidator::Acceptable) << std::hex << c;
    }
}

// --- Custom board.

struct Confirmed {
    int calls = 0;
    int side = 0;
    int mines = 0;
    std::function<void(int, int)> callback() {
        return [this](int s, int m) {
            ++calls;
            side = s;
            mines = m;
        };
    }
};

// The texts of a text field's context menu, as it would open now.
QStringList contextMenuTexts(QLineEdit& field) {
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    QStringList items;
    for (const QAction* action : menu->actions()) {
        items << action->text().section(u'\t', 0, 0);
    }
    return items;
}

// Qt's own texts wait for the first dialog, and are Czech in it whatever the
// locale: the text field's context menu in the custom board and the name entry.
TEST_F(DialogTest, ToolkitTextsComeCzechWithTheFirstDialog) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    delete loadedToolkitTexts();
    ASSERT_EQ(loadedToolkitTexts(), nullptr);
    QLineEdit plain;
    EXPECT_TRUE(contextMenuTexts(plain).contains(QStringLiteral("Select All")))
        << "nothing loads them before a dialog";

    QStringList customItems;
    QStringList nameItems;
    {
        Dialogs dialogs;
        whenShown([&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            customItems = contextMenuTexts(*child<QLineEdit>(*dialog, "minesText"));
            dialog->reject();
        });
        dialogs.askCustomBoard(10, 20, [](int, int) {});
        dialogs.prepareNameEntry(QStringLiteral("Holder"));
        whenShown([&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            nameItems = contextMenuTexts(*child<QLineEdit>(*dialog, "nameField"));
            dialog->reject();
        });
        dialogs.askName(Level::Beginner);
    }
    ASSERT_NE(loadedToolkitTexts(), nullptr) << "Qt's Czech catalogue is missing";
    delete loadedToolkitTexts();
    QLocale::setDefault(before);

    for (const QStringList& items : {customItems, nameItems}) {
        EXPECT_TRUE(items.contains(QStringLiteral("Vybrat vše"))) << items.join(u'|').toStdString();
        EXPECT_TRUE(items.contains(QStringLiteral("&Zpět"))) << items.join(u'|').toStdString();
    }
}

TEST_F(DialogTest, CustomOpensOnTheCurrentBoard) {
    Confirmed confirmed;
    CustomDialog dialog(confirmed.callback());
    expectFixedModalDialog(dialog, QStringLiteral("Vlastní pole"), QSize(233, 77));
    EXPECT_EQ(child<QLineEdit>(dialog, "minesText")->text(), QStringLiteral("8"));
    EXPECT_EQ(child<QPushButton>(dialog, "sideOption10")->geometry(), QRect(118, 11, 19, 22));
    EXPECT_EQ(child<QLineEdit>(dialog, "minesText")->geometry(), QRect(76, 46, 61, 20));
    dialog.prepare(8, 49);
    EXPECT_TRUE(child<QPushButton>(dialog, "sideOption8")->isChecked());
    EXPECT_FALSE(child<QPushButton>(dialog, "sideOption4")->isChecked());
    EXPECT_EQ(dialog.chosenSide(), 8);
    EXPECT_EQ(dialog.minesText(), QStringLiteral("49"));
}

TEST_F(DialogTest, CustomOkBringsTheCountIntoRangeBeforeHandingItOver) {
    Confirmed confirmed;
    CustomDialog dialog(confirmed.callback());
    bool visibleAtCall = false;
    whenShown([&] {
        QPushButton* ten = child<QPushButton>(dialog, "sideOption10");
        QTest::mouseClick(ten, Qt::LeftButton);
        // The option never keeps the focus, so Enter presses "OK".
        EXPECT_EQ(QApplication::focusWidget(), child<QPushButton>(dialog, "okButton"));
        QLineEdit* mines = child<QLineEdit>(dialog, "minesText");
        mines->setText(QStringLiteral("200"));
        visibleAtCall = dialog.isVisible();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    dialog.runModal(4, 7);
    EXPECT_EQ(confirmed.calls, 1);
    EXPECT_EQ(confirmed.side, 10);
    EXPECT_EQ(confirmed.mines, 135);
    EXPECT_EQ(dialog.minesText(), QStringLiteral("135"));
    EXPECT_TRUE(visibleAtCall);
    EXPECT_FALSE(dialog.isVisible());

    whenShown([&] {
        child<QLineEdit>(dialog, "minesText")->setText(QStringLiteral("20.7"));
        child<QPushButton>(dialog, "okButton")->click();
    });
    dialog.runModal(6, 21);
    EXPECT_EQ(confirmed.side, 6);
    EXPECT_EQ(confirmed.mines, 20);
}

TEST_F(DialogTest, CustomStornoAndEscChangeNothing) {
    Confirmed confirmed;
    CustomDialog dialog(confirmed.callback());
    bool openAfterEsc = false;
    whenShown([&] {
        child<QPushButton>(dialog, "sideOption10")->click();
        child<QLineEdit>(dialog, "minesText")->setText(QStringLiteral("100"));
        QTest::keyClick(&dialog, Qt::Key_Escape);  // "Storno" is not the cancel button
        openAfterEsc = dialog.isVisible();
        child<QPushButton>(dialog, "stornoButton")->click();
    });
    dialog.runModal(6, 21);
    EXPECT_TRUE(openAfterEsc);
    EXPECT_EQ(confirmed.calls, 0);
    // The next opening shows the current board again.
    dialog.prepare(6, 21);
    EXPECT_EQ(dialog.chosenSide(), 6);
    EXPECT_EQ(dialog.minesText(), QStringLiteral("21"));

    whenShown([&] { dialog.close(); });
    dialog.runModal(6, 21);
    EXPECT_EQ(confirmed.calls, 0);
}

// --- Screen reader.

QString accessibleText(QWidget* widget, QAccessible::Text t = QAccessible::Name) {
    return QAccessible::queryAccessibleInterface(widget)->text(t);
}

TEST_F(DialogTest, ScreenReaderHearsLabelsSidesAndTheTable) {
    CustomDialog custom([](int, int) {});
    EXPECT_EQ(accessibleText(child<QLineEdit>(custom, "minesText")), QStringLiteral("Počet min:"));
    for (const int side : {4, 6, 8, 10}) {
        auto* option = child<QPushButton>(
            custom, (QByteArray("sideOption") + QByteArray::number(side)).constData());
        EXPECT_EQ(option->text(), QString::number(side));
        EXPECT_EQ(accessibleText(option), QStringLiteral("Strana %1").arg(side));
        EXPECT_EQ(QAccessible::queryAccessibleInterface(option)->role(), QAccessible::RadioButton);
    }

    // Prepared for a record check, the hidden field holds nothing a reader
    // could announce; shown, it holds the holder's name.
    NameDialog name;
    name.setPrompt(Level::Expert);
    name.prepare(QStringLiteral("Jana"));
    QLineEdit* field = child<QLineEdit>(name, "nameField");
    EXPECT_EQ(field->text(), QString());
    EXPECT_FALSE(field->hasSelectedText());
    EXPECT_EQ(accessibleText(field), NameDialog::promptText(Level::Expert));
    QString shown;
    whenShown([&] {
        shown = field->selectedText();
        QTest::keyClick(field, Qt::Key_Return);
    });
    EXPECT_EQ(name.askName(), QStringLiteral("Jana"));
    EXPECT_EQ(shown, QStringLiteral("Jana"));

    BestTimes table;
    table.setRecord(Level::Advanced, 120, QStringLiteral("Eva"));
    BestTimesDialog best(table, [] {});
    EXPECT_EQ(accessibleText(&best, QAccessible::Description),
              QStringLiteral("Začátečník: 999 sekund, %1. Pokročilý: 120 sekund, Eva. "
                             "Expert: 999 sekund, %1")
                  .arg(unknownPlayer()));
}

// --- Fonts.

TEST_F(DialogTest, EveryFixedTextShowsWholeInItsControl) {
    BestTimes table;
    BestTimesDialog best(table, [] {});
    best.refresh();
    expectTextsShowWhole(best);

    NameDialog name;
    for (const Level level : {Level::Beginner, Level::Advanced, Level::Expert}) {
        name.setPrompt(level);
        expectTextsShowWhole(name);
    }
    QLineEdit* field = child<QLineEdit>(name, "nameField");
    EXPECT_LE(QFontMetrics(field->font()).horizontalAdvance(QStringLiteral("Neznámý hráč")),
              field->width() - 8);

    CustomDialog custom([](int, int) {});
    expectTextsShowWhole(custom);
}

}  // namespace
}  // namespace quorvel::dialogs
