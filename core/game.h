#pragma once
// The game: the state of one main window and the rules that change it. Every
// visible effect goes through GameView, in the order the rules give.
//
// Handler names are the vocabulary of the game's behaviour: New_Click, NGB, NGA,
// NGE, CustOK, Skn_Click, Clicking, MakeField, Field_MouseDown/Move/Up,
// Picture2_MouseDown/Move/Up, Form_KeyDown, TimerT_Timer, Zmin_Change.

#include <optional>
#include <string>

#include "core/board.h"
#include "core/game_view.h"
#include "core/geometry.h"
#include "core/random_source.h"

namespace quorvel::core {

enum class GameState { Ready, Running, Won, Lost };

struct LevelSetup {
    int side;
    int mines;
};
// Side and mines of the three fixed levels.
LevelSetup fixedLevel(Level level);

// Mouse button codes of press, move and release events; a move carries the sum.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;
// Not a button: the code Field_MouseDown hands to Field_MouseMove for a right
// press, which sets or clears a flag. A move with the left and middle buttons
// held carries the same sum and so acts as a right press too.
inline constexpr int kToggleFlag = 5;
// Key codes.
inline constexpr int kKeyF2 = 113;
inline constexpr int kKeyEsc = 27;

// The two counter places for a counter value: {left, right}, 10 = minus sign.
// 0..99 with a leading zero; 100 and more read "99"; negative values show the
// minus sign and the last digit (-12 reads "-2").
struct CounterGlyphs {
    int left;
    int right;
    friend bool operator==(const CounterGlyphs&, const CounterGlyphs&) = default;
};
CounterGlyphs counterGlyphs(int value);

class Game {
  public:
    // The game starts with no level chosen (no mark), side 4 and 7 mines, nothing
    // shown; the window's start-up chooses the level and the face set.
    Game(GameView& view, RandomSource& random);

    // --- New game and levels.
    void New_Click();
    void NGB();
    void NGA();
    void NGE();
    // Marks the custom item, takes side and mines, starts a new game. The side must
    // be 4, 6, 8 or 10 and mines >= 1 (else std::invalid_argument, nothing changed).
    void CustOK(int side, int mines);
    // Face set change: nothing when that item is already marked; otherwise marks
    // it, starts a new game and writes the settings. index 0..2, else
    // std::invalid_argument.
    void Skn_Click(int index);

    // --- Opening cells. (x, y) is the outline origin of a covered, unflagged cell,
    // or -100.
    void Clicking(int x, int y);
    void MakeField(int mines, int firstCol, int firstRow);

    // --- Board mouse input: button codes as above, X/Y in Field pixels. Like the
    // disabled board surface, they do nothing while the board is disabled.
    void Field_MouseDown(int button, int shift, double x, double y);
    void Field_MouseMove(int button, int shift, double x, double y);
    void Field_MouseUp(int button, int shift, double x, double y);

    // --- Face button: X/Y in the button's 32 x 26 pixels.
    void Picture2_MouseDown(int button, int shift, double x, double y);
    void Picture2_MouseMove(int button, int shift, double x, double y);
    void Picture2_MouseUp(int button, int shift, double x, double y);

    // --- Keys (F2 = 113, Esc = 27; everything else does nothing).
    void Form_KeyDown(int keyCode, int shift);

    // --- Clock tick (also called directly by a new game and by MakeField).
    void TimerT_Timer();

    // --- Counter text Zmin; a change of the text redraws the counter.
    const std::string& Zmin() const { return zmin_; }
    void setZmin(const std::string& text);

    // --- State.
    GameState state() const;
    bool timerEnabled() const { return timerEnabled_; }
    bool fieldEnabled() const { return fieldEnabled_; }
    const Board& board() const { return board_; }
    int Side() const { return side_; }
    int MineCount() const { return mineCount_; }
    int CoveredCount() const { return coveredCount_; }
    int Seconds() const { return seconds_; }
    int FaceSet() const { return faceSet_; }
    double BestTime() const { return bestTime_; }
    int PressedX() const { return pressedX_; }
    int PressedY() const { return pressedY_; }
    std::optional<Level> levelMark() const { return levelMark_; }
    std::optional<int> faceMark() const { return faceMark_; }
    // The face the button shows and the resting face (Image7).
    Face shownFace() const { return shownFace_; }
    int shownFaceSet() const { return shownFaceSet_; }
    Face restingFace() const { return restingFace_; }

    // For tests: put a mine or flag on a cell before the first opening, as a board
    // picture would. Does not draw.
    Board& boardForTesting() { return board_; }

  private:
    void setLevel(Level level);
    void showFace(Face face);
    void setResting(Face face);
    void setTimer(bool enabled);
    void setField(bool enabled);
    void release(int button, int shift, double x, double y);
    void lose(int x, int y, int c, int r);
    void win();
    void recordCheck();

    GameView& view_;
    RandomSource& random_;
    Board board_{};
    int side_ = 4;
    int mineCount_ = 7;
    int coveredCount_ = 0;
    int seconds_ = 0;
    int faceSet_ = 0;
    double bestTime_ = 0;
    int pressedX_ = kNoCell;
    int pressedY_ = kNoCell;
    bool timerEnabled_ = false;
    bool fieldEnabled_ = false;
    bool lost_ = false;
    bool won_ = false;
    std::string zmin_;
    std::optional<Level> levelMark_;
    std::optional<int> faceMark_;
    Face shownFace_ = Face::Normal;
    int shownFaceSet_ = -1;
    Face restingFace_ = Face::Normal;
    int restingFaceSet_ = -1;
};

}  // namespace quorvel::core
