// The game under the mouse and the keys: the board's held cell and flags, the
// face button, F2 and Esc.

#include "core/game.h"

namespace quorvel::core {

namespace {

// A move with the left and middle buttons held toggles a flag just as a press of
// the right button does. Kept on purpose: docs/kept-behaviour.md.
constexpr int kLeftAndMiddle = kLeftButton + kMiddleButton;

}  // namespace

// ---------------------------------------------------------------- board

void Game::boardPress(int button, double x, double y) {
    if (!takesInput()) {
        return;
    }
    if (button == kLeftButton) {
        pointAt(kLeftButton, x, y);
    } else if (button == kRightButton) {
        pointAt(kLeftAndMiddle, x, y);
    }
}

void Game::boardMove(int buttons, double x, double y) {
    if (!takesInput()) {
        return;
    }
    pointAt(buttons, x, y);
}

MoveOutcome Game::boardRelease(int button, double x, double y) {
    if (!takesInput()) {
        return {};
    }
    const GameState before = state_;
    finishPress(button, cellUnderPointer(side_, x, y));
    return outcomeSince(before);
}

void Game::pointAt(int buttons, double x, double y) {
    const std::optional<CellPos> cell = cellUnderPointer(side_, x, y);
    if (!cell) {
        // Leaving the board lets go of the held cell without opening it.
        finishPress(buttons, std::nullopt);
    } else if (buttons == kLeftButton) {
        holdAt(*cell);
    } else if (buttons == kLeftAndMiddle) {
        toggleFlagAt(*cell);
    }
}

// The held cell follows the pointer only into another half-row: within the held
// cell's half-row the pointer neither moves the held cell nor sets flags.
// Kept on purpose: docs/kept-behaviour.md.
bool Game::followsHeldCell(CellPos cell) const {
    return !held_ || held_->r != cell.r;
}

void Game::holdAt(CellPos cell) {
    if (!(shownFace_ == Face::Surprised && shownFaceSet_ == faceSet_)) {
        showFace(Face::Surprised);
    }
    if (!followsHeldCell(cell)) {
        return;
    }
    if (held_) {
        view_.drawCell(*held_, CellLook::Raised, faceSet_);
    }
    // Over an opened or flagged cell nothing is held.
    const Cell code = board_.at(cell.c, cell.r);
    if (code != Cell::Opened && !isFlagged(code)) {
        held_ = cell;
        view_.drawCell(cell, CellLook::Sunken, faceSet_);
    } else {
        held_.reset();
    }
}

void Game::toggleFlagAt(CellPos cell) {
    const Cell code = board_.at(cell.c, cell.r);
    if (!followsHeldCell(cell) || code == Cell::Opened) {
        return;
    }
    const int counter = counter_.value_or(0);
    if (isFlagged(code)) {
        view_.drawCell(cell, CellLook::FlagRemoved, faceSet_);
        board_.set(cell.c, cell.r, withoutFlag(code));
        setCounter(counter + 1);
    } else {
        view_.drawCell(cell, CellLook::Flag, faceSet_);
        board_.set(cell.c, cell.r, withFlag(code));
        setCounter(counter - 1);
    }
}

// The left button comes up: the face relaxes, the held cell rises, and it is
// opened when the button came up anywhere on the board.
void Game::finishPress(int button, std::optional<CellPos> releasedOver) {
    if (button != kLeftButton) {
        return;
    }
    showFace(Face::Normal);
    if (held_) {
        view_.drawCell(*held_, CellLook::Raised, faceSet_);
        if (releasedOver) {
            open(*held_);
        }
    }
    held_.reset();
}

// ---------------------------------------------------------------- face button

void Game::facePress(int button, double x, double y) {
    faceMove(button, x, y);
}

void Game::faceMove(int buttons, double x, double y) {
    if (buttons != kLeftButton) {
        return;
    }
    const bool showsResting = shownFace_ == restingFace_ && shownFaceSet_ == restingFaceSet_;
    if (showsResting && onFaceButton(x, y)) {
        showFace(Face::Pressed);
    }
}

void Game::faceRelease(int /*button*/, double x, double y) {
    const bool pressed = shownFace_ == Face::Pressed && shownFaceSet_ == faceSet_;
    if (pressed && onFaceButton(x, y)) {
        newGame();
    }
    // Before the first game there is no resting face to go back to.
    if (restingFaceSet_) {
        shownFace_ = restingFace_;
        shownFaceSet_ = restingFaceSet_;
        view_.showFace(restingFace_, *restingFaceSet_);
    }
}

// ---------------------------------------------------------------- keys

MoveOutcome Game::keyDown(Key key) {
    if (key == Key::NewGame) {
        newGame();
    } else if (key == Key::Escape) {
        // As if the left button came up over the held cell, even on a finished
        // game; then the window goes to the task bar, after the record check of a
        // game that this opening won.
        const GameState before = state_;
        finishPress(kLeftButton, held_);
        MoveOutcome outcome = outcomeSince(before);
        outcome.minimize = true;
        return outcome;
    }
    return {};
}

}  // namespace quorvel::core
