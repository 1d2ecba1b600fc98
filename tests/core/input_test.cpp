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
    EXPECT_EQ(f.view.log, (Log{"face(Surprised,0)", "DrawP2(-100,-100)", "DrawPD(63,51)"}));
    EXPECT_EQ(f.game.PressedX(), originX(3));
    EXPECT_EQ(f.game.PressedY(), cellY(6));

    f.view.clear();
    f.leftRelease(4, 9);  // released over another cell: the held one opens
    EXPECT_EQ(f.view.log[0], "face(Normal,0)");
    EXPECT_EQ(f.view.log[1], "DrawP2(62,51)");
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Opened);
    EXPECT_EQ(f.game.PressedX(), kNoCell);
    EXPECT_EQ(f.game.PressedY(), kNoCell);
}

TEST(FieldMouse, MovingInsideTheHeldCellDrawsNothing) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    for (double dx = -4; dx <= 8; dx += 0.5) {
        f.game.Field_MouseMove(kLeftButton, 0, GameFixture::fx(3) + dx, GameFixture::fy(6) + 3);
    }
    EXPECT_TRUE(f.view.log.empty());
}

TEST(FieldMouse, DraggingDownAColumnMovesThePress) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    f.leftMove(3, 8);
    f.leftMove(4, 9);
    EXPECT_EQ(f.view.log,
              (Log{"DrawP2(62,51)", "DrawPD(63,67)", "DrawP2(62,67)", "DrawPD(80,75)"}));
    EXPECT_EQ(f.game.PressedX(), originX(4));
    EXPECT_EQ(f.game.PressedY(), cellY(9));
}

TEST(FieldMouse, AJumpTwoColumnsAlongTheSameBandKeepsTheFirstCell) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    f.leftMove(5, 6);
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.PressedX(), originX(3));
    f.leftRelease(5, 6);
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Opened);
    EXPECT_NE(f.game.board().at(5, 6), Cell::Opened);
}

TEST(FieldMouse, DraggingOffTheBoardDropsThePressAndBackHoldsAgain) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    f.game.Field_MouseMove(kLeftButton, 0, -40, 70);
    EXPECT_EQ(f.view.log, (Log{"face(Normal,0)", "DrawP2(62,51)"}));
    EXPECT_EQ(f.game.PressedX(), kNoCell);
    EXPECT_EQ(f.game.state(), GameState::Ready);

    f.view.clear();
    f.leftMove(4, 7);
    EXPECT_EQ(f.view.log, (Log{"face(Surprised,0)", "DrawP2(-100,-100)", "DrawPD(80,59)"}));
    f.leftRelease(4, 7);
    EXPECT_EQ(f.game.board().at(4, 7), Cell::Opened);
}

TEST(FieldMouse, PressOnAnOpenedOrFlaggedCellHoldsNothing) {
    Ready f;
    f.open(2, 7);  // a numbered cell
    f.rightPress(4, 7);
    f.view.clear();

    f.leftPress(2, 7);
    EXPECT_EQ(f.view.log, (Log{"face(Surprised,0)", "DrawP2(-100,-100)"}));
    EXPECT_EQ(f.game.PressedX(), kNoCell);
    f.view.clear();
    f.leftRelease(2, 7);
    EXPECT_EQ(f.view.log, (Log{"face(Normal,0)", "DrawP2(-100,-100)"}));

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
    EXPECT_EQ(f.view.log, (Log{"DrawP2(45,75)"}));
    EXPECT_EQ(f.game.PressedX(), kNoCell);
}

TEST(FieldMouse, PressOnTheFrameOrACornerKeepsTheNormalFace) {
    Ready f;
    f.game.Field_MouseDown(kLeftButton, 0, 1, 1);  // the frame
    f.game.Field_MouseDown(kLeftButton, 0, 4, 4);  // the black corner
    EXPECT_EQ(f.view.count("face(Surprised,0)"), 0);
    EXPECT_EQ(f.game.shownFace(), Face::Normal);
    EXPECT_EQ(f.game.PressedX(), kNoCell);
    EXPECT_EQ(f.game.state(), GameState::Ready);
}

TEST(FieldMouse, RightPressTogglesAFlagAndMovesTheCounter) {
    Ready f;
    f.rightPress(3, 6);
    EXPECT_EQ(f.view.log, (Log{"DrawFlg(62,51)", "counter(0,6)"}));
    EXPECT_EQ(f.game.board().at(3, 6), Cell::FlaggedSafe);
    EXPECT_EQ(f.game.Zmin(), "6");

    f.view.clear();
    f.rightPress(3, 6);
    // DrawP3 is given anchor + 1 and clears at the outline origin.
    EXPECT_EQ(f.view.log, (Log{"DrawP3(64,51)", "counter(0,7)"}));
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Covered);
    EXPECT_EQ(f.game.Zmin(), "7");
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
    f.game.Field_MouseDown(kRightButton, 0, 2, 2);
    f.game.Field_MouseMove(kRightButton, 0, GameFixture::fx(4), GameFixture::fy(7));
    f.game.Field_MouseMove(kRightButton, 0, GameFixture::fx(5), GameFixture::fy(8));
    EXPECT_EQ(f.game.Zmin(), "7");
    EXPECT_EQ(f.game.board().at(4, 7), Cell::Covered);
    EXPECT_EQ(f.view.only({"DrawFlg", "DrawP3", "counter"}), Log{});
}

TEST(FieldMouse, MoreFlagsThanMinesMakeTheCounterNegative) {
    Ready f;
    const std::vector<CellPos> cells = {{3, 0}, {2, 1}, {4, 1}, {1, 2}, {3, 2}, {5, 2}, {0, 3},
                                        {2, 3}, {4, 3}, {6, 3}, {1, 4}, {3, 4}, {5, 4}};
    for (const CellPos& c : cells) {
        f.rightPress(c.c, c.r);
    }
    EXPECT_EQ(f.game.Zmin(), "-6");
    const auto counters = f.view.only({"counter"});
    EXPECT_EQ(counters[6], "counter(0,0)");
    EXPECT_EQ(counters[7], "counter(10,1)");
    EXPECT_EQ(counters.back(), "counter(10,6)");
}

TEST(FieldMouse, RightPressWhileLeftHoldsCannotFlagTheHeldCellsBand) {
    Ready f;
    f.leftPress(3, 6);
    f.view.clear();
    f.game.Field_MouseDown(kRightButton, 0, GameFixture::fx(3), GameFixture::fy(6));
    f.game.Field_MouseDown(kRightButton, 0, GameFixture::fx(5), GameFixture::fy(6));
    EXPECT_TRUE(f.view.log.empty());
    // A cell in another band still takes a flag.
    f.game.Field_MouseDown(kRightButton, 0, GameFixture::fx(4), GameFixture::fy(7));
    EXPECT_EQ(f.game.board().at(4, 7), Cell::FlaggedSafe);
    // Moves with both buttons neither move nor drop the press.
    f.view.clear();
    f.game.Field_MouseMove(kLeftButton + kRightButton, 0, GameFixture::fx(3), GameFixture::fy(10));
    f.game.Field_MouseUp(kRightButton, 0, GameFixture::fx(3), GameFixture::fy(10));
    EXPECT_TRUE(f.view.log.empty());
    EXPECT_EQ(f.game.PressedX(), originX(3));
    f.leftRelease(3, 10);
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Opened);
}

TEST(FieldMouse, MiddleButtonDoesNothing) {
    Ready f;
    f.game.Field_MouseDown(kMiddleButton, 0, GameFixture::fx(3), GameFixture::fy(6));
    f.game.Field_MouseMove(kMiddleButton, 0, GameFixture::fx(3), GameFixture::fy(8));
    f.game.Field_MouseUp(kMiddleButton, 0, GameFixture::fx(3), GameFixture::fy(8));
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
    f.game.Field_MouseDown(kLeftButton, 0, 1e300, -1e300);
    f.game.Field_MouseDown(kRightButton, 0, std::nan(""), 5);
    f.game.Field_MouseMove(kLeftButton, 0, -2147483648.0, 2147483648.0);
    EXPECT_EQ(f.game.PressedX(), kNoCell);
    EXPECT_EQ(f.game.Zmin(), "7");
}

// ---------------------------------------------------------------- face button

TEST(FaceButton, ClickInsideStartsANewGame) {
    Ready f;
    f.open(3, 6);
    ASSERT_EQ(f.game.state(), GameState::Running);
    f.view.clear();
    f.game.Picture2_MouseDown(kLeftButton, 0, 16, 13);
    EXPECT_EQ(f.view.log, (Log{"face(Pressed,0)"}));
    f.game.Picture2_MouseMove(kLeftButton, 0, 17, 13);
    EXPECT_EQ(f.view.count("face(Pressed,0)"), 1);
    f.game.Picture2_MouseUp(kLeftButton, 0, 17, 13);
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_EQ(f.view.count("layout(4)"), 1);
    EXPECT_EQ(f.view.log.back(), "face(Normal,0)");
}

TEST(FaceButton, ReleaseOutsideTheHexagonStartsNothing) {
    Ready f;
    f.open(3, 6);
    f.view.clear();
    f.game.Picture2_MouseDown(kLeftButton, 0, 16, 13);
    f.game.Picture2_MouseMove(kLeftButton, 0, 1, 1);  // moving out keeps the press
    EXPECT_EQ(f.game.shownFace(), Face::Pressed);
    f.game.Picture2_MouseUp(kLeftButton, 0, 1, 1);
    EXPECT_EQ(f.view.log, (Log{"face(Pressed,0)", "face(Normal,0)"}));
    EXPECT_EQ(f.game.state(), GameState::Running);
}

TEST(FaceButton, CornerPressAndOtherButtonsNeverPress) {
    Ready f;
    f.game.Picture2_MouseDown(kLeftButton, 0, 0, 0);
    f.game.Picture2_MouseDown(kRightButton, 0, 16, 13);
    f.game.Picture2_MouseDown(kMiddleButton, 0, 16, 13);
    EXPECT_EQ(f.view.count("face(Pressed,0)"), 0);
    f.game.Picture2_MouseUp(kRightButton, 0, 16, 13);
    EXPECT_EQ(f.view.count("layout(4)"), 0);
}

TEST(FaceButton, ReleaseOfAnyButtonOverThePressedFaceStartsAGame) {
    Ready f;
    f.game.Picture2_MouseDown(kLeftButton, 0, 16, 13);
    f.game.Picture2_MouseUp(kRightButton, 0, 16, 13);
    EXPECT_EQ(f.view.count("layout(4)"), 1);
}

TEST(FaceButton, AfterEscOnALostGameTheFirstClickOnlyBringsBackTheDeadFace) {
    Ready f;
    f.open(3, 6);
    f.open(0, 3);
    ASSERT_EQ(f.game.state(), GameState::Lost);
    f.game.Form_KeyDown(kKeyEsc, 0);
    EXPECT_EQ(f.game.shownFace(), Face::Normal);
    EXPECT_EQ(f.game.restingFace(), Face::Dead);
    EXPECT_EQ(f.game.state(), GameState::Lost);

    f.view.clear();
    f.game.Picture2_MouseDown(kLeftButton, 0, 16, 13);
    f.game.Picture2_MouseUp(kLeftButton, 0, 16, 13);
    EXPECT_EQ(f.view.log, (Log{"face(Dead,0)"}));
    f.game.Picture2_MouseDown(kLeftButton, 0, 16, 13);
    f.game.Picture2_MouseUp(kLeftButton, 0, 16, 13);
    EXPECT_EQ(f.game.state(), GameState::Ready);
}

TEST(FaceButton, ThePressedFaceComesOnlyFromTheRestingFace) {
    Ready f;
    f.leftPress(3, 6);  // surprised face on the button
    f.game.Picture2_MouseMove(kLeftButton, 0, 16, 13);
    EXPECT_EQ(f.game.shownFace(), Face::Surprised);
}

// ---------------------------------------------------------------- keys

TEST(Keys, F2StartsANewGameAndForgetsTheHeldCell) {
    Ready f;
    f.open(3, 6);
    f.leftPress(4, 9);
    f.game.Form_KeyDown(kKeyF2, 0);
    EXPECT_EQ(f.game.state(), GameState::Ready);
    EXPECT_EQ(f.game.PressedX(), kNoCell);
    EXPECT_EQ(f.game.PressedY(), kNoCell);
    EXPECT_EQ(f.game.board().at(3, 6), Cell::Covered);
}

TEST(Keys, EscWithAHeldCellOpensItThenMinimises) {
    Ready f;
    f.open(3, 6);
    f.leftPress(4, 9);
    f.view.clear();
    f.game.Form_KeyDown(kKeyEsc, 0);
    EXPECT_EQ(f.game.board().at(4, 9), Cell::Opened);
    EXPECT_EQ(f.view.log.front(), "face(Normal,0)");
    EXPECT_EQ(f.view.log[1], "DrawP2(79,75)");
    EXPECT_EQ(f.view.log.back(), "minimize");
    EXPECT_EQ(f.game.PressedX(), kNoCell);
}

TEST(Keys, EscOnAHeldMineLosesTheGame) {
    Ready f;
    f.open(3, 6);
    f.leftPress(1, 4);
    f.game.Form_KeyDown(kKeyEsc, 0);
    EXPECT_EQ(f.game.state(), GameState::Lost);
    EXPECT_EQ(f.view.log.back(), "minimize");
}

TEST(Keys, EscWithNothingHeldOnlyMinimises) {
    Ready f;
    f.game.Form_KeyDown(kKeyEsc, 0);
    EXPECT_EQ(f.view.log, (Log{"face(Normal,0)", "DrawP2(-100,-100)", "minimize"}));
    EXPECT_EQ(f.game.state(), GameState::Ready);
}

TEST(Keys, OtherKeysDoNothing) {
    Ready f;
    for (const int key : {0, 13, 32, 112, 114, 26, 28, 65}) {
        f.game.Form_KeyDown(key, 0);
    }
    EXPECT_TRUE(f.view.log.empty());
}

}  // namespace
}  // namespace quorvel::core::testing
