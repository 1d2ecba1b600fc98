#include "fuzz/game_invariants.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <utility>
#include <vector>

namespace quorvel::fuzz {

using core::Cell;
using core::CellPos;
using core::GameState;

namespace {

using Problem = std::optional<std::string>;
using CellList = std::vector<std::pair<int, int>>;

// The cells of a side, found once from the cell rule: their list, and for every
// position whether it is a cell.
class SideCells {
  public:
    explicit SideCells(int side) : side_(side) {
        core::forEachCell(side, [&](CellPos cell) {
            cells_.push_back(cell);
            isCell_[index(cell.c, cell.r)] = true;
        });
    }
    int side() const { return side_; }
    const std::vector<CellPos>& cells() const { return cells_; }
    bool has(int c, int r) const {
        return c >= 0 && c < kColumns && r >= 0 && r < kHalfRows && isCell_[index(c, r)];
    }

  private:
    static std::size_t index(int c, int r) { return static_cast<std::size_t>(c * kHalfRows + r); }

    int side_;
    std::vector<CellPos> cells_;
    std::array<bool, kColumns * kHalfRows> isCell_{};
};

const core::Board kClearBoard;

// For the few functions that read whole boards many times an event, where the
// sanitizers' checks would cost more than the work (the boards are always there
// to be read, and the indices stay inside them).
#define NO_CHECKS __attribute__((no_sanitize("address", "undefined")))

// Where each position of the board lies among its bytes. A Board is plain bytes,
// one per position (Covered is 0), laid out as the board chooses: found once by
// setting each position of a clear board in turn.
class BoardBytes {
  public:
    static constexpr std::size_t kWords = (sizeof(core::Board) + 7) / 8;

    BoardBytes() {
        core::Board probe;
        for (int c = core::Board::kMin; c <= core::Board::kMax; ++c) {
            for (int r = core::Board::kMin; r <= core::Board::kMax; ++r) {
                probe.set(c, r, Cell::Opened);
                const std::size_t w = nextChangedWord(kClearBoard, probe, 0);
                const int byte = std::countr_zero(word(probe, w)) / 8;
                positions_.at(w * 8 + static_cast<std::size_t>(byte)) = {c, r};
                probe.set(c, r, Cell::Covered);
            }
        }
    }

    // Calls visit(position, was, is) for every position whose code differs, eight
    // positions compared at a time; tells whether any did.
    template <typename Visit>
    bool forEachChange(const core::Board& was, const core::Board& is, Visit visit) const {
        bool changed = false;
        for (std::size_t w = 0; (w = nextChangedWord(was, is, w)) < kWords; ++w) {
            changed = true;
            const std::uint64_t before = word(was, w);
            const std::uint64_t after = word(is, w);
            for (std::uint64_t diff = before ^ after; diff != 0;) {
                const int bit = std::countr_zero(diff) / 8 * 8;
                diff &= ~(std::uint64_t{0xFF} << bit);
                const CellPos at = positions_[w * 8 + static_cast<std::size_t>(bit / 8)];
                visit(at, static_cast<Cell>(before >> bit & 0xFF),
                      static_cast<Cell>(after >> bit & 0xFF));
            }
        }
        return changed;
    }

  private:
    static constexpr std::size_t kFullWords = sizeof(core::Board) / 8;
    static constexpr std::size_t kTail = sizeof(core::Board) % 8;

    NO_CHECKS static const unsigned char* bytesOf(const core::Board& board) {
        static_assert(std::has_unique_object_representations_v<core::Board>);
        static_assert(Cell{} == Cell::Covered);
        static_assert(std::endian::native == std::endian::little);
        return reinterpret_cast<const unsigned char*>(&board);
    }

    // The eight bytes of the board from byte 8 * w on (0 past its end).
    static std::uint64_t word(const core::Board& board, std::size_t w) {
        std::uint64_t bytes = 0;
        if (w < kFullWords) {
            std::memcpy(&bytes, bytesOf(board) + 8 * w, 8);
        } else {
            std::memcpy(&bytes, bytesOf(board) + 8 * w, kTail);
        }
        return bytes;
    }

    // The first word from w on in which the boards differ, or kWords. This scan runs
    // after every event over two whole boards, which are always there to be read:
    // it goes without the address and overflow checks, which would cost more than
    // the compare itself, and compares eight words at a time where it can.
    NO_CHECKS static std::size_t nextChangedWord(const core::Board& was, const core::Board& is,
                                                 std::size_t w) {
        const unsigned char* a = bytesOf(was);
        const unsigned char* b = bytesOf(is);
        for (; w % 8 != 0 && w < kFullWords; ++w) {
            if (wordDiff(a, b, w) != 0) {
                return w;
            }
        }
        for (; w + 8 <= kFullWords; w += 8) {
            std::uint64_t any = 0;
            for (std::size_t i = 0; i < 8; ++i) {
                any |= wordDiff(a, b, w + i);
            }
            if (any != 0) {
                break;
            }
        }
        for (; w < kFullWords; ++w) {
            if (wordDiff(a, b, w) != 0) {
                return w;
            }
        }
        return w < kWords && word(was, w) != word(is, w) ? w : kWords;
    }
    NO_CHECKS static std::uint64_t wordDiff(const unsigned char* a, const unsigned char* b,
                                            std::size_t w) {
        std::uint64_t x = 0;
        std::uint64_t y = 0;
        std::memcpy(&x, a + 8 * w, 8);
        std::memcpy(&y, b + 8 * w, 8);
        return x ^ y;
    }

    std::array<CellPos, kWords * 8> positions_{};
};

const BoardBytes& boardBytes() {
    static const BoardBytes bytes;
    return bytes;
}

const SideCells& sideCells(int side) {
    static const std::array<SideCells, 4> all{SideCells(4), SideCells(6), SideCells(8),
                                              SideCells(10)};
    return all[static_cast<std::size_t>(side / 2 - 2)];
}

const std::vector<CellPos>& cellsOf(int side) {
    return sideCells(side).cells();
}

// The cells whose code passes, in a fixed order.
template <typename Pred>
CellList cellsWhere(const core::Board& board, int side, Pred pred) {
    CellList found;
    for (const CellPos& cell : cellsOf(side)) {
        if (pred(board.at(cell.c, cell.r))) {
            found.emplace_back(cell.c, cell.r);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

CellList marked(const std::vector<Mark>& marks, core::CellLook look) {
    CellList found;
    for (const Mark& mark : marks) {
        if (mark.look == look) {
            found.emplace_back(mark.cell.c, mark.cell.r);
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

int minesAround(const core::Board& board, int side, CellPos cell) {
    const SideCells& cells = sideCells(side);
    int n = 0;
    for (const CellPos& d : core::kNeighbourOffsets) {
        const CellPos next{cell.c + d.c, cell.r + d.r};
        if (cells.has(next.c, next.r) && core::hasMine(board.at(next.c, next.r))) {
            ++n;
        }
    }
    return n;
}

std::string name(CellPos cell) {
    return FuzzGameView::name(cell);
}

std::string name(GameState state) {
    switch (state) {
        case GameState::NotStarted:
            return "not started";
        case GameState::Ready:
            return "ready";
        case GameState::Running:
            return "running";
        case GameState::Won:
            return "won";
        case GameState::Lost:
            return "lost";
    }
    return "?";
}

bool over(GameState state) {
    return state == GameState::Won || state == GameState::Lost;
}

// What the two counter places show for a value; above 99 they may show any digits.
bool glyphsShow(core::CounterGlyphs shown, int value) {
    if (value >= 100) {
        return shown.left >= 0 && shown.left <= 9 && shown.right >= 0 && shown.right <= 9;
    }
    if (value >= 0) {
        return shown == core::CounterGlyphs{value / 10, value % 10};
    }
    return shown == core::CounterGlyphs{10, -(value % 10)};
}

// A loss draws the hit mine once, every other unflagged mine, and a cross on every
// flag without a mine; flagged mines keep their flags.
Problem lossMarks(const core::Board& board, int side, const std::vector<Mark>& marks,
                  std::optional<CellPos>& hit) {
    using core::CellLook;
    const CellList hits = marked(marks, CellLook::HitMine);
    if (hits.size() != 1 || board.at(hits[0].first, hits[0].second) != Cell::CoveredMine) {
        return "loss: " + std::to_string(hits.size()) + " hit mines drawn, not one unflagged mine";
    }
    hit = CellPos{hits[0].first, hits[0].second};
    CellList mines = cellsWhere(board, side, [](Cell c) { return c == Cell::CoveredMine; });
    mines.erase(std::find(mines.begin(), mines.end(), hits[0]));
    if (marked(marks, CellLook::Mine) != mines) {
        return std::string("loss: the mines drawn are not the unflagged mines");
    }
    if (marked(marks, CellLook::WrongFlag) !=
        cellsWhere(board, side, [](Cell c) { return c == Cell::FlaggedSafe; })) {
        return std::string("loss: the crosses drawn are not the flags without a mine");
    }
    if (!marked(marks, CellLook::Flag).empty()) {
        return std::string("loss: a flag drawn");
    }
    return std::nullopt;
}

// A win draws a flag on every mine without one, and nothing else.
Problem winMarks(const core::Board& board, int side, const std::vector<Mark>& marks) {
    if (marked(marks, core::CellLook::Flag) !=
        cellsWhere(board, side, [](Cell c) { return c == Cell::CoveredMine; })) {
        return std::string("win: the flags drawn are not the mines without a flag");
    }
    if (marked(marks, core::CellLook::Flag).size() != marks.size()) {
        return std::string("win: a mine or a cross drawn");
    }
    return std::nullopt;
}

}  // namespace

GameInvariants::GameInvariants(const core::Game& game, FuzzGameView& view)
    : game_(game), view_(view) {}

void GameInvariants::Tally::count(Cell code, int times) {
    opened += code == Cell::Opened ? times : 0;
    flags += isFlagged(code) ? times : 0;
    mines += hasMine(code) ? times : 0;
}

// The tally of the board now: the tally of the board `from` and the positions
// where the board now differs from it.
GameInvariants::Tally GameInvariants::tallyFrom(Tally t, const core::Board& from) const {
    const SideCells& cells = sideCells(game_.side());
    t.offBoard.reset();
    t.mineChanged.reset();
    t.changed = boardBytes().forEachChange(from, game_.board(), [&](CellPos at, Cell was, Cell is) {
        if (!cells.has(at.c, at.r)) {
            t.offBoard = t.offBoard.value_or(at);
            return;
        }
        t.count(was, -1);
        t.count(is, 1);
        if (!t.mineChanged && hasMine(was) != hasMine(is)) {
            t.mineChanged = at;
        }
    });
    return t;
}

void GameInvariants::before() {
    // Nothing but an event changes the game: the board is as the last check left
    // it, and that check tallied it when the event had changed it.
    if (!checked_ || boardChanged_) {
        before_.board = game_.board();
        before_.tally = checked_ ? now_ : tallyFrom({}, kClearBoard);
        checked_ = true;
    }
    before_.state = game_.state();
    before_.side = game_.side();
    before_.coveredCount = game_.coveredCount();
    before_.held = game_.heldCell();
    before_.layouts = view_.layouts;
    view_.marks.clear();
    view_.numbered.clear();
}

std::optional<std::string> GameInvariants::after() {
    // One scan of the board finds what the event changed on it; most events change
    // nothing, and then the checks below have nothing new to find.
    if (game_.side() == before_.side) {
        now_ = tallyFrom(before_.tally, before_.board);
        boardChanged_ = now_.changed;
    } else {
        // Another side's cells: counted afresh, the mines still compared with
        // the board before.
        boardChanged_ = true;
        now_ = tallyFrom({}, kClearBoard);
        now_.mineChanged = tallyFrom({}, before_.board).mineChanged;
    }
    if (view_.layouts != before_.layouts) {
        hitMine_.reset();
    }
    if (!view_.problem.empty()) {
        return "window call: " + view_.problem;
    }
    if (Problem found = marks()) {
        return found;
    }
    using Check = Problem (GameInvariants::*)() const;
    for (const Check check :
         {&GameInvariants::boardCodes, &GameInvariants::counter, &GameInvariants::clock,
          &GameInvariants::mines, &GameInvariants::numbers, &GameInvariants::gameOver,
          &GameInvariants::heldCell}) {
        if (Problem found = (this->*check)()) {
            return found;
        }
    }
    return std::nullopt;
}

// Only cells carry codes (a stray write anywhere on the board array, next to the
// board or far off it, is named), and the covered count is the number of cells not
// opened; the mine that lost the game is drawn uncovered and no longer counts.
std::optional<std::string> GameInvariants::boardCodes() const {
    const SideCells& cells = sideCells(game_.side());
    if (now_.offBoard) {
        return "board: a code on " + name(*now_.offBoard) + ", which is no cell";
    }
    const int covered = static_cast<int>(cells.cells().size()) - now_.opened - (hitMine_ ? 1 : 0);
    if (game_.coveredCount() != covered) {
        return "covered count: coveredCount is " + std::to_string(game_.coveredCount()) + " but " +
               std::to_string(covered) + " cells are covered";
    }
    return std::nullopt;
}

// The counter reads the mines less the flags, and 0 after a win; its places show it.
std::optional<std::string> GameInvariants::counter() const {
    const int expected = game_.state() == GameState::Won ? 0 : game_.mines() - now_.flags;
    if (game_.counter() != expected) {
        return "counter: reads " +
               (game_.counter() ? std::to_string(*game_.counter()) : "nothing") + " with " +
               std::to_string(game_.mines()) + " mines and " + std::to_string(now_.flags) +
               " flags in a " + name(game_.state()) + " game";
    }
    if (!view_.counterShown || view_.counter != expected) {
        return "counter: shows " + std::to_string(view_.counter) + " for " +
               std::to_string(expected);
    }
    const core::CounterGlyphs glyphs = core::counterGlyphs(expected);
    if (!glyphsShow(glyphs, expected)) {
        return "counter: its places show " + std::to_string(glyphs.left) + "," +
               std::to_string(glyphs.right) + " for " + std::to_string(expected);
    }
    return std::nullopt;
}

// The clock runs exactly while the game runs; it stays in 0..999 and shows the
// seconds.
std::optional<std::string> GameInvariants::clock() const {
    if ((game_.state() == GameState::Running) != view_.clockRunning) {
        return "clock: the game is " + name(game_.state()) + " while the clock " +
               (view_.clockRunning ? "runs" : "stands");
    }
    if (game_.seconds() < 0 || game_.seconds() > 999) {
        return "clock: seconds is " + std::to_string(game_.seconds()) + ", outside 0-999";
    }
    if (view_.clock != game_.seconds()) {
        return "clock: shows " + std::to_string(view_.clock) + " while seconds is " +
               std::to_string(game_.seconds());
    }
    return std::nullopt;
}

// No mine before the first opening, the placement rule at it, and afterwards the
// mines stay where they are and none is ever opened.
std::optional<std::string> GameInvariants::mines() const {
    if (view_.layouts != before_.layouts) {
        if (now_.opened + now_.flags + now_.mines > 0) {
            return std::string("new game: a mine, flag or opened cell is left on the board");
        }
        return std::nullopt;
    }
    if (before_.tally.mines == 0 && now_.mines > 0) {
        return firstPlacement();
    }
    const bool unplaced =
        game_.state() == GameState::Ready || game_.state() == GameState::NotStarted;
    if (unplaced != (now_.mines == 0)) {
        return "mines: " + std::to_string(now_.mines) + " on the board of a " +
               name(game_.state()) + " game";
    }
    if (const std::optional<CellPos> cell = now_.mineChanged) {
        if (game_.board().at(cell->c, cell->r) == Cell::Opened) {
            return "mines: the mine on " + name(*cell) + " was opened";
        }
        return "mines: the mine on " + name(*cell) + " came or went after the placement";
    }
    return std::nullopt;
}

// The first opening: the held cell is opened and holds no mine; the mines go to
// covered cells first and under flags only when those run out.
std::optional<std::string> GameInvariants::firstPlacement() const {
    const int side = game_.side();
    const core::Board& board = game_.board();
    const std::optional<CellPos> first = before_.held;
    if (!first) {
        return std::string("mines: placed by an event that held no cell");
    }
    if (board.at(first->c, first->r) != Cell::Opened) {
        return "mines: the first cell " + name(*first) + " is not opened";
    }
    int free = 0;
    int flagged = 0;
    int onFree = 0;
    int onFlags = 0;
    for (const CellPos& cell : cellsOf(side)) {
        const Cell was = before_.board.at(cell.c, cell.r);
        const bool mine = hasMine(board.at(cell.c, cell.r));
        if (cell == *first) {
            continue;
        }
        if (was == Cell::Covered) {
            ++free;
            onFree += mine ? 1 : 0;
        } else if (was == Cell::FlaggedSafe) {
            ++flagged;
            onFlags += mine ? 1 : 0;
        }
    }
    const int wantFree = std::min(game_.mines(), free);
    const int wantFlags = std::min(game_.mines() - wantFree, flagged);
    if (onFree != wantFree || onFlags != wantFlags) {
        return "mines: " + std::to_string(onFree) + " placed on covered cells and " +
               std::to_string(onFlags) + " under flags, the rule gives " +
               std::to_string(wantFree) + " and " + std::to_string(wantFlags);
    }
    if (game_.state() != GameState::Running && game_.state() != GameState::Won) {
        return "mines: the first opening left the game " + name(game_.state());
    }
    return std::nullopt;
}

// Every number drawn is the count of mines around its cell, and every opened cell
// shows exactly one. The mines do not move once placed, so a number checked when
// it is drawn stays right.
std::optional<std::string> GameInvariants::numbers() const {
    const int side = game_.side();
    const core::Board& board = game_.board();
    for (const CellPos& cell : view_.numbered) {
        const int n = view_.numbers.at(cell);
        if (board.at(cell.c, cell.r) != Cell::Opened) {
            return "numbers: a number on " + name(cell) + ", which is not opened";
        }
        if (n != minesAround(board, side, cell)) {
            return "numbers: " + name(cell) + " shows " + std::to_string(n) + " with " +
                   std::to_string(minesAround(board, side, cell)) + " mines around it";
        }
    }
    if (now_.opened != view_.numbers.count()) {
        return "numbers: " + std::to_string(now_.opened) + " cells opened but " +
               std::to_string(view_.numbers.count()) + " numbers drawn";
    }
    return std::nullopt;
}

// Mines and crosses only at the end of a game, flags only on flagged cells or on
// the mines of a win.
std::optional<std::string> GameInvariants::marks() {
    const std::vector<Mark>& drawn = view_.marks;
    const GameState state = game_.state();
    if (view_.layouts == before_.layouts && state != before_.state) {
        if (state == GameState::Lost) {
            return lossMarks(game_.board(), game_.side(), drawn, hitMine_);
        }
        if (state == GameState::Won) {
            return winMarks(game_.board(), game_.side(), drawn);
        }
    }
    for (const Mark& mark : drawn) {
        if (mark.look != core::CellLook::Flag) {
            return "marks: a mine or cross drawn in a " + name(state) + " game";
        }
        if (!isFlagged(game_.board().at(mark.cell.c, mark.cell.r))) {
            return "marks: a flag drawn on " + name(mark.cell) + ", which has none";
        }
    }
    return std::nullopt;
}

// A finished game takes no input and does not change until a new game; a won one
// has every cell without a mine opened.
std::optional<std::string> GameInvariants::gameOver() const {
    const GameState state = game_.state();
    const int cells = static_cast<int>(cellsOf(game_.side()).size());
    if (state == GameState::Won && now_.opened + now_.mines != cells) {
        return "win: " + std::to_string(cells - now_.opened - now_.mines) +
               " cells without a mine are not opened";
    }
    if (!over(before_.state) || view_.layouts != before_.layouts) {
        return std::nullopt;
    }
    if (state != before_.state || game_.coveredCount() != before_.coveredCount || boardChanged_) {
        return "game over: a " + name(before_.state) + " game changed without a new game";
    }
    return std::nullopt;
}

std::optional<std::string> GameInvariants::handedBack(const core::MoveOutcome& outcome) const {
    const bool won = before_.state != GameState::Won && game_.state() == GameState::Won;
    if (outcome.won.has_value() != won) {
        return won ? std::string("outcome: a win not handed back")
                   : "outcome: a win handed back in a " + name(game_.state()) + " game";
    }
    if (won && *outcome.won != core::winOf(game_.levelMark(), game_.seconds())) {
        return "outcome: the win of " + std::to_string(outcome.won->seconds) +
               " s is not the game's " + std::to_string(game_.seconds()) + " s on its level";
    }
    return std::nullopt;
}

// The held cell is none, or a covered cell without a flag, and it is the one cell
// shown sunken; a new game and a finished game hold none.
std::optional<std::string> GameInvariants::heldCell() const {
    const std::optional<CellPos> held = game_.heldCell();
    if (view_.sunken.size() != (held ? 1u : 0u) || (held && view_.sunken[0] != *held)) {
        return "held cell: " + std::to_string(view_.sunken.size()) + " cells shown sunken, " +
               (held ? name(*held) : std::string("none")) + " held";
    }
    if (!held) {
        return std::nullopt;
    }
    if (view_.layouts != before_.layouts) {
        return std::string("held cell: still held after a new game");
    }
    if (!sideCells(game_.side()).has(held->c, held->r)) {
        return "held cell: " + name(*held) + " is no cell of the board";
    }
    const Cell code = game_.board().at(held->c, held->r);
    if (code != Cell::Covered && code != Cell::CoveredMine) {
        return "held cell: " + name(*held) + " is opened or flagged";
    }
    if (over(game_.state())) {
        return "held cell: " + name(*held) + " is held in a " + name(game_.state()) + " game";
    }
    return std::nullopt;
}

}  // namespace quorvel::fuzz
