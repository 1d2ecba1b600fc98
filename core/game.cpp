#include "core/game.h"

#include <stdexcept>
#include <string>

namespace quorvel::core {

namespace {
constexpr int kMaxSeconds = 999;
}  // namespace

// "-2" for -12 is kept on purpose: docs/kept-behaviour.md.
CounterGlyphs counterGlyphs(int value) {
    constexpr int kMinus = 10;
    if (value >= 100) {
        // Two places cannot show it; the largest value they can show stands in.
        return {9, 9};
    }
    if (value >= 0) {
        return {value / 10, value % 10};
    }
    // The remainder keeps the sign of the value: -12 shows "-2", -10 shows "-0".
    const int last = value % 10;
    return {kMinus, last < 0 ? -last : last};
}

Game::Game(GameView& view, RandomSource& random) : view_(view), random_(random) {}

void Game::showFace(Face face) {
    shownFace_ = face;
    shownFaceSet_ = faceSet_;
    view_.showFace(face, faceSet_);
}

void Game::setResting(Face face) {
    restingFace_ = face;
    restingFaceSet_ = faceSet_;
}

void Game::setState(GameState state) {
    state_ = state;
    view_.runClock(state == GameState::Running);
}

void Game::setCounter(int value) {
    // The counter is redrawn only when what it counts changes.
    if (counter_ == value) {
        return;
    }
    counter_ = value;
    view_.showCounter(value);
}

// ---------------------------------------------------------------- new game, levels

void Game::newGame() {
    requireValidSide(side_);
    showFace(Face::Normal);
    setResting(Face::Normal);
    view_.runClock(false);
    setCounter(mines_);
    board_.clear();
    // The new board forgets the held cell before it lays the window out.
    held_.reset();
    view_.layoutBoard(side_);
    coveredCount_ = cellCount(side_);
    state_ = GameState::Ready;
    // The clock shows 0 at once: the tick that starts every game.
    seconds_ = -1;
    tick();
}

MoveOutcome Game::chooseBoard(Level mark, int side, int mines) {
    levelMark_ = mark;
    view_.showLevelMark(mark);
    side_ = side;
    mines_ = mines;
    newGame();
    return {.boardChosen = BoardChoice{mark, side, mines}};
}

MoveOutcome Game::chooseLevel(Level level) {
    const LevelSetup setup = fixedLevel(level);
    return chooseBoard(level, setup.side, setup.mines);
}

MoveOutcome Game::chooseCustomBoard(int side, int mines) {
    requireValidSide(side);
    if (mines < 1) {
        throw std::invalid_argument("a board needs at least one mine, got " +
                                    std::to_string(mines));
    }
    return chooseBoard(Level::Custom, side, mines);
}

MoveOutcome Game::chooseFaceSet(FaceSet faceSet) {
    // No set is marked before the first choice, so start-up's choice always
    // writes the file: docs/kept-behaviour.md.
    if (faceMark_ == faceSet) {
        return {};
    }
    faceSet_ = faceSet;
    faceMark_ = faceSet;
    view_.showFaceMark(faceSet);
    newGame();
    return {.faceSetChosen = faceSet};
}

// ---------------------------------------------------------------- opening cells

MoveOutcome Game::openCell(CellPos cell) {
    const GameState before = state_;
    open(cell);
    return outcomeSince(before);
}

MoveOutcome Game::outcomeSince(GameState before) const {
    if (before != GameState::Won && state_ == GameState::Won) {
        return {.won = winOf(levelMark_, seconds_)};
    }
    return {};
}

void Game::open(CellPos cell) {
    // The fill tries the neighbours of edge cells too, which lie off the board.
    if (!takesInput() || !isCell(side_, cell.c, cell.r)) {
        return;
    }
    if (state_ == GameState::Ready) {
        placeMines(mines_, cell);
        tick();
        setState(GameState::Running);
    }
    --coveredCount_;
    int around = 0;
    for (const CellPos& d : kNeighbourOffsets) {
        if (hasMine(board_.at(cell.c + d.c, cell.r + d.r))) {
            ++around;
        }
    }
    if (hasMine(board_.at(cell.c, cell.r))) {
        lose(cell);
        return;
    }
    board_.set(cell.c, cell.r, Cell::Opened);
    view_.drawOpenedCell(cell, around, faceSet_);
    if (around == 0) {
        view_.showBoard();
        // Depth first: each neighbour is tested only after the previous one's whole
        // fill has finished, so a cell opened deeper down is skipped here.
        for (const CellPos& d : kNeighbourOffsets) {
            if (board_.at(cell.c + d.c, cell.r + d.r) == Cell::Covered) {
                open({cell.c + d.c, cell.r + d.r});
            }
        }
    }
    // Every opening tests for the win, the fill's included: the first one that
    // finds as many covered cells as mines ends the game, and the openings still
    // unwinding then find the board closed. (When the player's flags left too few
    // cells for all the mines, that can be before every safe cell is open.)
    if (state_ == GameState::Running && mines_ == coveredCount_) {
        win();
    }
}

void Game::lose(CellPos hit) {
    showFace(Face::Dead);
    setResting(Face::Dead);
    view_.drawCell(hit, CellLook::HitMine, faceSet_);
    view_.showBoard();
    forEachCell(side_, [&](CellPos cell) {
        const Cell code = board_.at(cell.c, cell.r);
        if (code == Cell::CoveredMine && cell != hit) {
            view_.drawCell(cell, CellLook::Mine, faceSet_);
            view_.showBoard();
        } else if (code == Cell::FlaggedSafe) {
            view_.drawCell(cell, CellLook::WrongFlag, faceSet_);
        }
    });
    setState(GameState::Lost);
}

void Game::win() {
    showFace(Face::Winner);
    setResting(Face::Winner);
    view_.showBoard();
    setCounter(0);
    forEachCell(side_, [&](CellPos cell) {
        if (board_.at(cell.c, cell.r) == Cell::CoveredMine) {
            view_.drawCell(cell, CellLook::Flag, faceSet_);
        }
    });
    // The record check runs after the move, in the caller: the clock has stopped
    // and the board shows the won game when its dialogs open.
    setState(GameState::Won);
}

// ---------------------------------------------------------------- clock

void Game::tick() {
    // A minimised window's clock stands still.
    if (seconds_ < kMaxSeconds && !view_.isMinimized()) {
        ++seconds_;
        view_.showClock(seconds_);
    }
}

}  // namespace quorvel::core
