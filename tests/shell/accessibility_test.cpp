// What a screen reader finds in the window, read through Qt's accessibility
// interfaces as the AT-SPI bridge reads them.

#include "shell/accessibility.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>
#include <algorithm>
#include <vector>

#include "core/geometry.h"
#include "render/face_pictures.h"
#include "shell_support.h"

namespace quorvel::shell {
namespace {

using core::GameState;

// The window's own change events: what changed and the text it has now.
std::vector<std::pair<QAccessible::Event, QString>> told;

void listen(QAccessibleEvent* event) {
    told.emplace_back(event->type(), event->accessibleInterface()->text(QAccessible::Name));
}

bool wasTold(QAccessible::Event type, const QString& name) {
    return std::find(told.begin(), told.end(), std::pair{type, name}) != told.end();
}

class AccessibilityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        installAccessibility();
        setAccessibleEventSink(&listen);
        told.clear();
        window_ = std::make_unique<MainWindow>(random_, records_, records_);
        window_->restoreSettings();
        window_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    }
    void TearDown() override {
        window_.reset();
        setAccessibleEventSink(nullptr);
    }

    QAccessibleInterface* of(QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget);
    }
    QAccessibleInterface* panelChild(int index) {
        return of(WindowAccess::panel(*window_))->child(index);
    }
    QString board() {
        return of(WindowAccess::fieldSurface(*window_))->text(QAccessible::Description);
    }
    QString face() {
        return of(WindowAccess::faceButton(*window_))->text(QAccessible::Description);
    }
    QString notice() { return panelChild(3)->text(QAccessible::Name); }

    void clickCell(core::CellPos cell) {
        QTest::mouseClick(WindowAccess::fieldSurface(*window_), Qt::LeftButton, {},
                          testing::anchorPoint(cell.c, cell.r).toPoint());
    }
    void lose() {
        std::optional<core::CellPos> first;
        core::forEachCell(WindowAccess::game(*window_).side(),
                          [&](core::CellPos cell) { first = first.value_or(cell); });
        clickCell(*first);
        std::optional<core::CellPos> mine;
        core::forEachCell(WindowAccess::game(*window_).side(), [&](core::CellPos cell) {
            if (WindowAccess::game(*window_).board().at(cell.c, cell.r) ==
                core::Cell::CoveredMine) {
                mine = cell;
            }
        });
        ASSERT_TRUE(mine.has_value());
        clickCell(*mine);
        ASSERT_EQ(WindowAccess::game(*window_).state(), GameState::Lost);
    }

    core::SeededRandom random_{20261207};
    testing::FakeRecords records_;
    std::unique_ptr<MainWindow> window_;
};

TEST_F(AccessibilityTest, StartNamesTheBoardPanelTextsAndFaceButton) {
    const int mines = WindowAccess::game(*window_).mines();
    QAccessibleInterface* field = of(WindowAccess::fieldSurface(*window_));
    EXPECT_EQ(field->text(QAccessible::Name), QStringLiteral("Hrací pole"));
    EXPECT_EQ(field->role(), QAccessible::Canvas);
    EXPECT_EQ(board(), QStringLiteral("Nová hra, zbývá min: %1").arg(mines));

    QAccessibleInterface* panel = of(WindowAccess::panel(*window_));
    ASSERT_EQ(panel->childCount(), 4);
    const QString counter = QStringLiteral("Miny: %1").arg(mines);
    for (const auto& [index, name] :
         {std::pair{0, counter}, std::pair{2, QStringLiteral("Čas: 0 s")}}) {
        QAccessibleInterface* text = panel->child(index);
        EXPECT_EQ(text->role(), QAccessible::StaticText);
        EXPECT_EQ(text->text(QAccessible::Name), name);
        EXPECT_EQ(text->valueInterface(), nullptr);
        EXPECT_EQ(text->parent(), panel);
        EXPECT_EQ(panel->indexOfChild(text), index);
        EXPECT_EQ(panel->childAt(text->rect().center().x(), text->rect().center().y()), text);
    }
    EXPECT_TRUE(panelChild(3)->state().invisible);

    QAccessibleInterface* button = panel->child(1);
    EXPECT_EQ(button, of(WindowAccess::faceButton(*window_)));
    EXPECT_EQ(button->role(), QAccessible::PushButton);
    EXPECT_EQ(button->text(QAccessible::Name), QStringLiteral("Nová hra"));
    EXPECT_EQ(face(), QStringLiteral("Usměvavý obličej"));
    EXPECT_EQ(button->actionInterface()->actionNames(),
              QStringList{QAccessibleActionInterface::pressAction()});
}

TEST_F(AccessibilityTest, PointOnThePanelFindsItsPartsAndNothingBetweenThem) {
    QAccessibleInterface* panel = of(WindowAccess::panel(*window_));
    const QRect counter = panel->child(0)->rect();
    const QRect button = panel->child(1)->rect();
    const QRect clock = panel->child(2)->rect();
    EXPECT_EQ(panel->childAt(button.center().x(), button.center().y()), panel->child(1));
    // The notice covers the whole panel but is found by no point: what lies
    // between the parts, and the panel's corner, is no child at all.
    const QRect whole = panel->rect();
    for (const QPoint at :
         {QPoint((counter.right() + button.left()) / 2, counter.center().y()),
          QPoint((button.right() + clock.left()) / 2, clock.center().y()), whole.topLeft()}) {
        ASSERT_TRUE(whole.contains(at));
        ASSERT_FALSE(counter.contains(at) || button.contains(at) || clock.contains(at));
        EXPECT_EQ(panel->childAt(at.x(), at.y()), nullptr) << at.x() << "," << at.y();
    }
}

TEST_F(AccessibilityTest, LossIsToldAndPressStartsANewGameLikeAClick) {
    lose();
    const QString lost =
        QStringLiteral("Prohra, čas: %1 s").arg(WindowAccess::game(*window_).seconds());
    EXPECT_EQ(board(), lost);
    EXPECT_EQ(face(), QStringLiteral("Obličej po prohře"));
    EXPECT_FALSE(panelChild(3)->state().invisible);
    EXPECT_EQ(panelChild(3)->role(), QAccessible::Notification);
    EXPECT_TRUE(wasTold(QAccessible::ObjectShow, lost));

    told.clear();
    of(WindowAccess::faceButton(*window_))
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(WindowAccess::game(*window_).state(), GameState::Ready);
    EXPECT_EQ(WindowAccess::faceButton(*window_)->picture(),
              &render::facePicture(core::Face::Normal, WindowAccess::game(*window_).faceSet()));
    EXPECT_EQ(face(), QStringLiteral("Usměvavý obličej"));
    EXPECT_TRUE(panelChild(3)->state().invisible);
    EXPECT_TRUE(wasTold(QAccessible::ObjectHide, QString()));

    told.clear();
    WindowAccess::game(*window_).tick();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].first, QAccessible::NameChanged);
    EXPECT_EQ(told[0].second, QStringLiteral("Čas: 1 s"));
}

TEST_F(AccessibilityTest, WinIsToldWithItsTime) {
    testing::playToWin(*window_);
    ASSERT_EQ(WindowAccess::game(*window_).state(), GameState::Won);
    const QString won = QStringLiteral("Výhra za %1 s").arg(WindowAccess::game(*window_).seconds());
    EXPECT_EQ(board(), won);
    EXPECT_EQ(face(), QStringLiteral("Obličej po výhře"));
    EXPECT_EQ(panelChild(0)->text(QAccessible::Name), QStringLiteral("Miny: 0"));
    EXPECT_TRUE(wasTold(QAccessible::NameChanged, QStringLiteral("Miny: 0")));
    EXPECT_TRUE(wasTold(QAccessible::ObjectShow, won));
}

}  // namespace
}  // namespace quorvel::shell
