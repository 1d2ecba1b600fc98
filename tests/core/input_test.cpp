// Mouse on the board, the face button and the keys.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/game.h"
#include "test_support.h"

namespace quorvel::core::testing {
namespace {

using Log = std::vector<std::string>;

// Beginner board, ready, nothing drawn yet in the log. Its first opening places
// these mines; (3, 6), (2, 7), (4, 7) and (4, 9) each show a 1, so opening them
// opens nothing else.
struct Ready : GameFixture {
    Ready() {
        setUpLevel(Level::Beginner, {{0, 3}, {1, 2}, {1, 4}, {3, 8}, {5, 4}, {6, 9}, {2, 11}});
        view.clear();
    }
};

TEST(FieldMouse, LeftPressHoldsACoveredCellAndReleaseOpensIt) {
    Ready f;
    f.leftPress(3, 6);
    EXPECT_EQ(f.view.log, (Log{"face(Surprised,0)", "drawCell(3,6,Sunken)"}));
    EXPECT_EQ(f.game.heldCell(), (CellPos{3, 6}));

    f.view.clear();
    f.leftRelease(4, 9);  // released over another cell: the held one opens
    EXPECT_EQ(f.view.log[0], "face(Normal,0)");
    EXPECT_EQ(f.view.log[1], "drawCell(3,6,Raised)");
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Opened);
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
}

TEST(FieldMouse, MovingInsideTheHeldCellDrawsNothing) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    for (double dx = -4; dx <= 8; dx += 0.5) {
        f.game.boardMove(kLeftButton, GameFixture::fx(3) + dx, GameFixture::fy(6) + 3);
    }
    EXPECT_TRUE(f.view.log.empty());
}

TEST(FieldMouse, DraggingDownAColumnMovesThePress) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    f.leftMove(3, 8);
    f.leftMove(4, 9);
    EXPECT_EQ(f.view.log, (Log{"drawCell(3,6,Raised)", "drawCell(3,8,Sunken)",
                               "drawCell(3,8,Raised)", "drawCell(4,9,Sunken)"}));
    EXPECT_EQ(f.game.heldCell(), (CellPos{4, 9}));
}

TEST(FieldMouse, AJumpTwoColumnsAlongTheSameBandKeepsTheFirstCell) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    f.leftMove(5, 6);
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.heldCell(), (CellPos{3, 6}));
    f.leftRelease(5, 6);
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Opened);
    EXPECT_NE(f.game.board().at(5, 6), Cell::Opened);
}

// The held cell follows the pointer only into another half-row: over an opened
// cell in the held cell's half-row it stays held, over one in another it is dropped.
TEST(FieldMouse, TheHeldCellStaysOverAnOpenedCellInItsHalfRowOnly) {
    Ready f;
    f.open(2, 7);
    f.leftPress(4, 7);
    f.view.clear();
    f.leftMove(2, 7);
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.heldCell(), (CellPos{4, 7}));
    f.leftMove(3, 6);
    f.leftMove(3, 8);
    f.leftMove(2, 7);
    EXPECT_EQ(f.view.log,
              (Log{"drawCell(4,7,Raised)", "drawCell(3,6,Sunken)", "drawCell(3,6,Raised)",
                   "drawCell(3,8,Sunken)", "drawCell(3,8,Raised)"}));
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
}

TEST(FieldMouse, DraggingOffTheBoardDropsThePressAndBackHoldsAgain) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    f.game.boardMove(kLeftButton, -40, 70);
    EXPECT_EQ(f.view.log, (Log{"face(Normal,0)", "drawCell(3,6,Raised)"}));
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
    EXPECT_EQ(f.game.state(), GameState::Ready);

    f.view.clear();
    f.leftMove(4, 7);
    EXPECT_EQ(f.view.log, (Log{"face(Surprised,0)", "drawCell(4,7,Sunken)"}));
    f.leftRelease(4, 7);
    EXPECT_EQ(f.game.board().at(4, 7), Cell::Opened);
}

TEST(FieldMouse, PressOnAnOpenedOrFlaggedCellHoldsNothing) {
    Ready f;
    f.open(2, 7);  // a numbered cell
    f.rightPress(4, 7);
    f.view.clear();

    f.leftPress(2, 7);
    EXPECT_EQ(f.view.log, (Log{"face(Surprised,0)"}));
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
    f.view.clear();
    f.leftRelease(2, 7);
    EXPECT_EQ(f.view.log, (Log{"face(Normal,0)"}));

    f.view.clear();
    f.leftPress(4, 7);
    f.leftRelease(4, 7);
    EXPECT_EQ(f.game.board().at(4, 7), Cell::FlaggedSafe);
    EXPECT_EQ(f.view.count("face(Surprised,0)"), 1);
}

TEST(FieldMouse, MovingOntoAnOpenedCellRaisesTheHeldOne) {
    Ready f;
    f.open(2, 7);
    f.leftPress(2, 9);
    f.view.clear();
    f.leftMove(2, 7);
    EXPECT_EQ(f.view.log, (Log{"drawCell(2,9,Raised)"}));
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
}

TEST(FieldMouse, PressOnTheFrameOrACornerKeepsTheNormalFace) {
    Ready f;
    f.game.boardPress(kLeftButton, 1, 1);  // the frame
    f.game.boardPress(kLeftButton, 4, 4);  // the black corner
    EXPECT_EQ(f.view.count("face(Surprised,0)"), 0);
    EXPECT_EQ(f.game.shownFace(), Face::Normal);
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
    EXPECT_EQ(f.game.state(), GameState::Ready);
}

TEST(FieldMouse, RightPressTogglesAFlagAndMovesTheCounter) {
    Ready f;
    f.rightPress(3, 6);
    EXPECT_EQ(f.view.log, (Log{"drawCell(3,6,Flag)", "counter(6)"}));
    EXPECT_EQ(f.game.board().at(3, 6), Cell::FlaggedSafe);
    EXPECT_EQ(f.game.counter(), 6);

    f.view.clear();
    f.rightPress(3, 6);
    EXPECT_EQ(f.view.log, (Log{"drawCell(3,6,FlagRemoved)", "counter(7)"}));
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Covered);
    EXPECT_EQ(f.game.counter(), 7);
}

TEST(FieldMouse, FlagOnAMineAddsAndRemovesOnlyTheFlag) {
    Ready f;
    f.open(3, 6);
    ASSERT_EQ(f.game.board().at(1, 2), Cell::CoveredMine);
    f.rightPress(1, 2);
    EXPECT_EQ(f.game.board().at(1, 2), Cell::FlaggedMine);
    f.rightPress(1, 2);
    EXPECT_EQ(f.game.board().at(1, 2), Cell::CoveredMine);
}

TEST(FieldMouse, RightPressOnOpenedOrNoCellAndRightMovesChangeNothing) {
    Ready f;
    f.open(2, 7);
    f.view.clear();
    f.rightPress(2, 7);
    f.game.boardPress(kRightButton, 2, 2);
    f.game.boardMove(kRightButton, GameFixture::fx(4), GameFixture::fy(7));
    f.game.boardMove(kRightButton, GameFixture::fx(5), GameFixture::fy(8));
    EXPECT_EQ(f.game.counter(), 7);
    EXPECT_EQ(f.game.board().at(4, 7), Cell::Covered);
    EXPECT_EQ(f.view.only({"drawCell", "counter"}), Log{});
}

TEST(FieldMouse, MoreFlagsThanMinesMakeTheCounterNegative) {
    Ready f;
    const std::vector<CellPos> cells = {{3, 0}, {2, 1}, {4, 1}, {1, 2}, {3, 2}, {5, 2}, {0, 3},
                                        {2, 3}, {4, 3}, {6, 3}, {1, 4}, {3, 4}, {5, 4}};
    for (const CellPos& c : cells) {
        f.rightPress(c.c, c.r);
    }
    EXPECT_EQ(f.game.counter(), -6);
    const auto counters = f.view.only({"counter"});
    EXPECT_EQ(counters[6], "counter(0)");
    EXPECT_EQ(counters[7], "counter(-1)");
    EXPECT_EQ(counters.back(), "counter(-6)");
}

TEST(FieldMouse, RightPressWhileLeftHoldsCannotFlagTheHeldCellsBand) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    f.game.boardPress(kRightButton, GameFixture::fx(3), GameFixture::fy(6));
    f.game.boardPress(kRightButton, GameFixture::fx(5), GameFixture::fy(6));
    EXPECT_TRUE(f.view.log.empty());
    // A cell in another band still takes a flag.
    f.game.boardPress(kRightButton, GameFixture::fx(4), GameFixture::fy(7));
    EXPECT_EQ(f.game.board().at(4, 7), Cell::FlaggedSafe);
    // Moves with both buttons neither move nor drop the press.
    f.view.clear();
    f.game.boardMove(kLeftButton + kRightButton, GameFixture::fx(3), GameFixture::fy(10));
    f.game.boardRelease(kRightButton, GameFixture::fx(3), GameFixture::fy(10));
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.heldCell(), (CellPos{3, 6}));
    f.leftRelease(3, 10);
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Opened);
}

TEST(FieldMouse, MiddleButtonDoesNothing) {
    Ready f;
    f.game.boardPress(kMiddleButton, GameFixture::fx(3), GameFixture::fy(6));
    f.game.boardMove(kMiddleButton, GameFixture::fx(3), GameFixture::fy(8));
    f.game.boardRelease(kMiddleButton, GameFixture::fx(3), GameFixture::fy(8));
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.state(), GameState::Ready);
}

TEST(FieldMouse, NothingActsOnAFinishedGame) {
    Ready f;
    f.open(3, 6);
    f.open(0, 3);
    ASSERT_EQ(f.game.state(), GameState::Lost);
    const auto board = f.picture();
    f.view.clear();
    f.open(4, 7);
    f.rightPress(4, 9);
    f.leftMove(5, 8);
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.picture(), board);
}

TEST(FieldMouse, AbsurdCoordinatesAreNoCell) {
    Ready f;
    f.game.boardPress(kLeftButton, 1e300, -1e300);
    f.game.boardPress(kRightButton, std::nan(""), 5);
    f.game.boardMove(kLeftButton, -2147483648.0, 2147483648.0);
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
    EXPECT_EQ(f.game.counter(), 7);
}

// ---------------------------------------------------------------- face button

TEST(FaceButton, ClickInsideStartsANewGame) {
    Ready f;
    f.open(3, 6);
    ASSERT_EQ(f.game.state(), GameState::Running);
    f.view.clear();
    f.game.facePress(kLeftButton, 16, 13);
    EXPECT_EQ(f.view.log, (Log{"face(Pressed,0)"}));
    f.game.faceMove(kLeftButton, 17, 13);
    EXPECT_EQ(f.view.count("face(Pressed,0)"), 1);
    f.game.faceRelease(kLeftButton, 17, 13);
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_EQ(f.view.count("layout(4)"), 1);
    EXPECT_EQ(f.view.log.back(), "face(Normal,0)");
}

TEST(FaceButton, ReleaseOutsideTheHexagonStartsNothing) {
    Ready f;
    f.open(3, 6);
    f.view.clear();
    f.game.facePress(kLeftButton, 16, 13);
    f.game.faceMove(kLeftButton, 1, 1);  // moving out keeps the press
    EXPECT_EQ(f.game.shownFace(), Face::Pressed);
    f.game.faceRelease(kLeftButton, 1, 1);
    EXPECT_EQ(f.view.log, (Log{"face(Pressed,0)", "face(Normal,0)"}));
    EXPECT_EQ(f.game.state(), GameState::Running);
}

TEST(FaceButton, CornerPressAndOtherButtonsNeverPress) {
    Ready f;
    f.game.facePress(kLeftButton, 0, 0);
    f.game.facePress(kRightButton, 16, 13);
    f.game.facePress(kMiddleButton, 16, 13);
    EXPECT_EQ(f.view.count("face(Pressed,0)"), 0);
    f.game.faceRelease(kRightButton, 16, 13);
    EXPECT_EQ(f.view.count("layout(4)"), 0);
}

TEST(FaceButton, ReleaseOfAnyButtonOverThePressedFaceStartsAGame) {
    Ready f;
    f.game.facePress(kLeftButton, 16, 13);
    f.game.faceRelease(kRightButton, 16, 13);
    EXPECT_EQ(f.view.count("layout(4)"), 1);
}

TEST(FaceButton, AfterEscOnALostGameTheFirstClickOnlyBringsBackTheDeadFace) {
    Ready f;
    f.open(3, 6);
    f.open(0, 3);
    ASSERT_EQ(f.game.state(), GameState::Lost);
    f.game.keyDown(Key::Escape);
    EXPECT_EQ(f.game.shownFace(), Face::Normal);
    EXPECT_EQ(f.game.restingFace(), Face::Dead);
    EXPECT_EQ(f.game.state(), GameState::Lost);

    f.view.clear();
    f.game.facePress(kLeftButton, 16, 13);
    f.game.faceRelease(kLeftButton, 16, 13);
    EXPECT_EQ(f.view.log, (Log{"face(Dead,0)"}));
    f.game.facePress(kLeftButton, 16, 13);
    f.game.faceRelease(kLeftButton, 16, 13);
    EXPECT_EQ(f.game.state(), GameState::Ready);
}

TEST(FaceButton, ThePressedFaceComesOnlyFromTheRestingFace) {
    Ready f;
    f.leftPress(3, 6);  // surprised face on the button
    f.game.faceMove(kLeftButton, 16, 13);
    EXPECT_EQ(f.game.shownFace(), Face::Surprised);
}

// ---------------------------------------------------------------- keys

TEST(Keys, F2StartsANewGameAndForgetsTheHeldCell) {
    Ready f;
    f.open(3, 6);
    f.leftPress(4, 9);
    f.game.keyDown(Key::NewGame);
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Covered);
}

TEST(Keys, EscWithAHeldCellOpensItThenMinimises) {
    Ready f;
    f.open(3, 6);
    f.leftPress(4, 9);
    f.view.clear();
    EXPECT_EQ(f.game.keyDown(Key::Escape), MoveOutcome{.minimize = true});
    EXPECT_EQ(f.game.board().at(4, 9), Cell::Opened);
    EXPECT_EQ(f.view.log.front(), "face(Normal,0)");
    EXPECT_EQ(f.view.log[1], "drawCell(4,9,Raised)");
    EXPECT_EQ(f.game.heldCell(), std::nullopt);
}

TEST(Keys, EscOnAHeldMineLosesTheGame) {
    Ready f;
    f.open(3, 6);
    f.leftPress(1, 4);
    EXPECT_EQ(f.game.keyDown(Key::Escape), MoveOutcome{.minimize = true});
    EXPECT_EQ(f.game.state(), GameState::Lost);
}

TEST(Keys, EscWithNothingHeldOnlyMinimises) {
    Ready f;
    EXPECT_EQ(f.game.keyDown(Key::Escape), MoveOutcome{.minimize = true});
    EXPECT_EQ(f.view.log, (Log{"face(Normal,0)"}));
    EXPECT_EQ(f.game.state(), GameState::Ready);
}

TEST(Keys, OtherKeysDoNothing) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    f.game.keyDown(Key::Other);
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.heldCell(), (CellPos{3, 6}));
}

}  // namespace
}  // namespace quorvel::core::testing
