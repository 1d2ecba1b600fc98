#pragma once
// What the game asks of the window it runs in. The game calls these in a fixed
// order that is part of its behaviour (tests record it with a fake). All cell
// positions are Field pixels.

namespace quorvel::core {

// The five faces of the face button (pictures Image70 .. Image74).
enum class Face { Normal, Pressed, Surprised, Dead, Winner };

// Which mine DrawMin shows: the one the player hit (on a red ground) or any
// other mine revealed by the loss.
enum class MineKind { Revealed = 0, Hit = 1 };

// The four level items of the game menu.
enum class Level { Beginner, Advanced, Expert, Custom };

class GameView {
  public:
    virtual ~GameView() = default;

    // --- Board surface (Field). The in/out x follows the drawing procedures:
    // each implementation must do exactly what is said here to x.
    // Raised face at outline origin (x, y); nothing when x or y is -100.
    virtual void DrawP2(int x, int y) = 0;
    // Nothing when x or y is -100; otherwise x -= 1, then the sunken face at (x, y).
    virtual void DrawPD(int& x, int y) = 0;
    // Nothing when x or y is -100; otherwise x -= 2, then clears the cell's middle.
    virtual void DrawP3(int& x, int y) = 0;
    // Number n (0..6) of the opened cell at outline origin (x, y), in the style of
    // the current face set.
    virtual void DrawNu(int x, int y, int n) = 0;
    // Sunken face (x -= 1), then the mine of this kind at (x, y); then refreshes
    // the board surface.
    virtual void DrawMin(int& x, int y, MineKind kind) = 0;
    // The flag of the current face set at (x, y); x unchanged.
    virtual void DrawFlg(int x, int y) = 0;
    // x += 1, DrawP3 (x -= 2), DrawPD (x -= 1), then the cross at (x, y).
    virtual void DrawCrs(int& x, int y) = 0;
    // Show what was drawn on the board surface at once.
    virtual void refreshField() = 0;
    // DrawField's window work for a new board: size the board and hit-test surfaces,
    // lay the window out for this side, clear all drawing and install the board
    // picture and hit-test map of the side.
    virtual void layoutBoard(int side) = 0;
    // The board now takes mouse input, or no longer does. The game itself ignores
    // board input while the board is disabled; the window need not filter it.
    virtual void setFieldEnabled(bool enabled) = 0;

    // --- Panel.
    virtual void showFace(Face face, int faceSet) = 0;
    // Counter places: glyph 0..9 is a digit, 10 the minus sign.
    virtual void showCounter(int leftGlyph, int rightGlyph) = 0;
    // Clock places for 0 .. 999.
    virtual void showClock(int seconds) = 0;
    // The one-second timer TimerT runs exactly while enabled.
    virtual void setTimerEnabled(bool enabled) = 0;

    // --- Window and menus.
    virtual bool isMinimized() const = 0;
    virtual void minimize() = 0;
    // Check marks: exactly the given level item / face item is marked.
    virtual void showLevelMark(Level level) = 0;
    virtual void showFaceMark(int faceSet) = 0;

    // --- Records and settings.
    // Sets the prompt of the name-entry dialog for a fixed level.
    virtual void setRecordPrompt(Level level) = 0;
    // The leading number of the level's best-time text (0 when it has none).
    virtual double bestTime(Level level) = 0;
    // Fills the name field with the level's holder, wholly selected.
    virtual void prepareNameEntry(Level level) = 0;
    // A new record: asks for the name, stores time and name in the table, shows
    // the best-times table. Returns when the dialogs are closed.
    virtual void enterRecord(Level level, int seconds) = 0;
    // Rewrites the settings file.
    virtual void WriteK() = 0;
};

}  // namespace quorvel::core
