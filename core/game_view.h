#pragma once
// What the game asks of the window it runs in: drawing and the window's own
// facts, nothing else. The game calls these in a fixed order that is part of its
// behaviour: what is on the screen when the board is shown at once. What a move
// leaves to do afterwards (a record to check, settings to write, the window to
// minimise) it hands back to its caller instead (MoveOutcome, core/game.h).

#include "core/face_set.h"
#include "core/geometry.h"
#include "core/levels.h"

namespace quorvel::core {

// The five faces of the face button.
enum class Face { Normal, Pressed, Surprised, Dead, Winner };

// How a cell is drawn over what it showed before.
enum class CellLook {
    Raised,       // covered, as a new board shows it
    Sunken,       // covered and held down under the pointer
    Flag,         // the face set's flag on the raised cell
    FlagRemoved,  // the flag taken off again: its box cleared to light grey
    Mine,         // a mine uncovered by the loss, on the sunken cell
    HitMine,      // the mine the player opened, on red
    WrongFlag,    // after a loss, a flag on a cell without a mine, crossed out
};

class GameView {
  public:
    virtual ~GameView() = default;

    // --- Board. Each cell is drawn in the face set given (its flag, cross and
    // numbers).
    virtual void drawCell(CellPos cell, CellLook look, FaceSet faceSet) = 0;
    // An opened cell: sunken, with the number of mines around it (none drawn for
    // 0 in some face sets).
    virtual void drawOpenedCell(CellPos cell, int minesAround, FaceSet faceSet) = 0;
    // Show what was drawn on the board at once, not at the next repaint.
    virtual void showBoard() = 0;
    // A new board of this side: size the board surface, lay the window out for it
    // and show every cell raised.
    virtual void layoutBoard(int side) = 0;

    // --- Panel.
    virtual void showFace(Face face, FaceSet faceSet) = 0;
    // The mine counter: mines less flags, shown by counterGlyphs.
    virtual void showCounter(int minesLeft) = 0;
    // The clock, 0 .. 999.
    virtual void showClock(int seconds) = 0;
    // The one-second clock ticks exactly while the game runs.
    virtual void runClock(bool running) = 0;

    // --- Window and menus.
    // A minimised window's clock stands still.
    virtual bool isMinimized() const = 0;
    // Check marks: exactly the given level item / face item is marked.
    virtual void showLevelMark(Level level) = 0;
    virtual void showFaceMark(FaceSet faceSet) = 0;
};

}  // namespace quorvel::core
