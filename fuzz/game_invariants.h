#pragma once
// The rules that hold between any two events of a game, checked against the game's
// own state and the window's view of it. Mine counts around a cell, the cells of a
// board and the placement rule are worked out here from the cell codes alone, not
// asked of the game.

#include <optional>
#include <string>

#include "core/board.h"
#include "core/game.h"
#include "fuzz/fuzz_game_view.h"

namespace quorvel::fuzz {

class GameInvariants {
  public:
    GameInvariants(const core::Game& game, FuzzGameView& view);

    // Remembers the state before an event.
    void before();
    // After the event: the first rule it broke, named; nothing when all hold.
    std::optional<std::string> after();
    // What the event's move handed back: a win exactly when the move won the
    // game, with the clock's seconds and the marked level's best-times row.
    std::optional<std::string> handedBack(const core::MoveOutcome& outcome) const;

  private:
    // How many cells are opened, are flagged, hold a mine; and what the last
    // event changed that it must not: the first position that is no cell given a
    // code, and the first cell whose mine came, went or was opened.
    struct Tally {
        int opened = 0;
        int flags = 0;
        int mines = 0;
        std::optional<core::CellPos> offBoard;
        std::optional<core::CellPos> mineChanged;
        // Whether any position differs from the board the tally was made from.
        bool changed = false;
        // Adds a cell with this code `times` times (-1 takes one away).
        void count(core::Cell code, int times);
    };
    struct Snapshot {
        core::Board board;
        Tally tally;
        core::GameState state = core::GameState::NotStarted;
        int side = 4;
        int coveredCount = 0;
        std::optional<core::CellPos> held;
        int layouts = 0;
    };

    Tally tallyFrom(Tally tally, const core::Board& from) const;
    std::optional<std::string> boardCodes() const;
    std::optional<std::string> counter() const;
    std::optional<std::string> clock() const;
    std::optional<std::string> mines() const;
    std::optional<std::string> firstPlacement() const;
    std::optional<std::string> numbers() const;
    std::optional<std::string> marks();
    std::optional<std::string> gameOver() const;
    std::optional<std::string> heldCell() const;

    const core::Game& game_;
    FuzzGameView& view_;
    Snapshot before_;
    Tally now_;
    bool boardChanged_ = false;
    // Whether a check has run: from then on before_ holds the board it left.
    bool checked_ = false;
    // The mine that lost the current game, once it is lost: drawn uncovered, so it
    // no longer counts as covered.
    std::optional<core::CellPos> hitMine_;
};

}  // namespace quorvel::fuzz
