#pragma once
// The game: the state of one main window and the rules that change it. Every
// visible effect goes through GameView, in the order the rules give; what is left
// to do after a move (the record check of a win, the settings write of a new face
// set, minimising the window) the move hands back as a MoveOutcome.
//
// The player's moves come in as the window receives them (buttons and pointer
// positions, keys, clock ticks, menu choices); a board position becomes a cell
// at once, and the rules work in cells from there on.

#include <optional>

#include "core/board.h"
#include "core/game_view.h"
#include "core/geometry.h"
#include "core/levels.h"
#include "core/random_source.h"

namespace quorvel::core {

// NotStarted: no level has been chosen yet, the board takes no input.
// Ready: a new board, the clock stopped until the first cell is opened.
enum class GameState { NotStarted, Ready, Running, Won, Lost };

// Mouse buttons. A press or release names one; a move carries the sum of the
// buttons held.
inline constexpr int kLeftButton = 1;
inline constexpr int kRightButton = 2;
inline constexpr int kMiddleButton = 4;

// The keys the game answers; every other key does nothing.
enum class Key { NewGame, Escape, Other };

// The two counter places for a counter value: {left, right}, 10 = minus sign.
// 0..99 with a leading zero; 100 and more read "99"; negative values show the
// minus sign and the last digit (-12 reads "-2").
struct CounterGlyphs {
    int left;
    int right;
    friend bool operator==(const CounterGlyphs&, const CounterGlyphs&) = default;
};
CounterGlyphs counterGlyphs(int value);

// A board the player chose: the level item marked, the board's side and mines.
struct BoardChoice {
    Level level;
    int side;
    int mines;
    friend bool operator==(const BoardChoice&, const BoardChoice&) = default;
};

// What a move leaves to its caller, who acts on it after the move has returned,
// in this order: the board chosen (kept for the next settings write; choosing a
// board writes nothing), the record check of a win, the settings write of a face
// set change, then the window going to the task bar.
struct MoveOutcome {
    // The move chose a board (a level item, the custom dialog's OK).
    std::optional<BoardChoice> boardChosen = std::nullopt;
    // The move won the game.
    std::optional<Win> won = std::nullopt;
    // The move chose another face set: this one.
    std::optional<FaceSet> faceSetChosen = std::nullopt;
    // The window is to be minimised (Esc), after everything else the move asked for.
    bool minimize = false;
    friend bool operator==(const MoveOutcome&, const MoveOutcome&) = default;
};

class Game {
  public:
    // The game starts with no level chosen (no mark), side 4 and 7 mines, nothing
    // shown; the window's start-up chooses the level and the face set.
    Game(GameView& view, RandomSource& random);

    // --- New game, levels, face sets.
    void newGame();
    // Beginner, advanced or expert (Custom: std::invalid_argument): marks it and
    // starts its board, and hands the choice back.
    MoveOutcome chooseLevel(Level level);
    // Marks the custom item and starts a board of this side and mine count, and
    // hands the choice back. The side must be 4, 6, 8 or 10 and mines >= 1 (else
    // std::invalid_argument, nothing changed).
    MoveOutcome chooseCustomBoard(int side, int mines);
    // Nothing when that face set is already marked; otherwise marks it and starts
    // a new game, and hands the set back (the caller writes the settings).
    MoveOutcome chooseFaceSet(FaceSet faceSet);

    // --- The board under the mouse: positions in board-surface pixels. Nothing
    // happens while the board takes no input (before the first game, after the
    // end of one).
    void boardPress(int button, double x, double y);
    void boardMove(int buttons, double x, double y);
    // The release of the left button may open a cell and so win the game.
    MoveOutcome boardRelease(int button, double x, double y);

    // --- The face button: positions in its 32 x 26 pixels.
    void facePress(int button, double x, double y);
    void faceMove(int buttons, double x, double y);
    void faceRelease(int button, double x, double y);

    // Esc lets go of the held cell (which may open it and win) and asks for the
    // window to be minimised.
    MoveOutcome keyDown(Key key);
    // One second of the clock.
    void tick();

    // Opens a covered cell as the release of the left button over it does: the
    // first opening of a game places the mines and starts the clock; an empty
    // cell opens its neighbours in the fill's fixed order.
    MoveOutcome openCell(CellPos cell);
    // Places `mines` mines for a game whose first opened cell is `first`.
    void placeMines(int mines, CellPos first);

    // --- State.
    GameState state() const { return state_; }
    // The board takes mouse input: a game is ready or running.
    bool takesInput() const { return state_ == GameState::Ready || state_ == GameState::Running; }
    const Board& board() const { return board_; }
    int side() const { return side_; }
    int mines() const { return mines_; }
    int coveredCount() const { return coveredCount_; }
    int seconds() const { return seconds_; }
    FaceSet faceSet() const { return faceSet_; }
    // Mines less flags, as the counter shows it.
    std::optional<int> counter() const { return counter_; }
    // The cell shown held down under the left button.
    std::optional<CellPos> heldCell() const { return held_; }
    std::optional<Level> levelMark() const { return levelMark_; }
    std::optional<FaceSet> faceMark() const { return faceMark_; }
    // The face the button shows, and the face it goes back to after a press.
    Face shownFace() const { return shownFace_; }
    Face restingFace() const { return restingFace_; }

    // For tests: put a mine or flag on a cell before the first opening, as a board
    // picture would. Does not draw.
    Board& boardForTesting() { return board_; }

  private:
    // What the left and right buttons do on the board.
    void holdAt(CellPos cell);
    void toggleFlagAt(CellPos cell);
    bool followsHeldCell(CellPos cell) const;
    void finishPress(int button, std::optional<CellPos> releasedOver);
    void open(CellPos cell);
    // What a move that started in state `before` hands back: the win, when it won.
    MoveOutcome outcomeSince(GameState before) const;
    void pointAt(int buttons, double x, double y);

    // Marks `mark`, keeps the board's side and mines and starts a new game on it.
    MoveOutcome chooseBoard(Level mark, int side, int mines);
    void showFace(Face face);
    void setResting(Face face);
    void setState(GameState state);
    void setCounter(int value);
    void lose(CellPos hit);
    void win();

    GameView& view_;
    RandomSource& random_;
    GameState state_ = GameState::NotStarted;
    Board board_{};
    int side_ = 4;
    int mines_ = 7;
    int coveredCount_ = 0;
    int seconds_ = 0;
    FaceSet faceSet_ = FaceSet::Yellow;
    std::optional<int> counter_;
    std::optional<CellPos> held_;
    std::optional<Level> levelMark_;
    // Empty until the first face-set choice (docs/kept-behaviour.md).
    std::optional<FaceSet> faceMark_;
    Face shownFace_ = Face::Normal;
    std::optional<FaceSet> shownFaceSet_;
    Face restingFace_ = Face::Normal;
    std::optional<FaceSet> restingFaceSet_;
};

}  // namespace quorvel::core
