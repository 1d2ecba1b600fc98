#pragma once
// What a screen reader finds in the window: the board named and described in
// words, the counter and the clock as texts of the panel, the face button as a
// button that starts a new game, and a notice that tells the end of a game.
// Every text comes from the game's own state; the window view tells this unit
// when the game has shown something new, and the unit sends the change events.

#include <QString>
#include <optional>

#include "core/game.h"

class QAccessibleEvent;
class QWidget;

namespace quorvel::shell {

class Panel;
class PictureSurface;

// The words for the game's state: ready, running (mines left and seconds), lost,
// won (with the time). Empty before the first game.
QString gameDescription(core::GameState state, std::optional<int> minesLeft, int seconds);
// "Miny: 7"; "Miny" while the counter shows nothing.
QString counterName(std::optional<int> minesLeft);
// "Čas: 12 s".
QString clockName(int seconds);
// What the face button shows, in words.
QString faceDescription(core::Face face);

inline constexpr char16_t kBoardName[] = u"Hrací pole";
inline constexpr char16_t kFaceButtonName[] = u"Nová hra";

// Where the window's own change events go (the counter's, the clock's and the
// notice's): Qt's accessibility, unless a test listens instead.
using AccessibleEventSink = void (*)(QAccessibleEvent* event);
void setAccessibleEventSink(AccessibleEventSink sink);

// Installs the interfaces of the panel and the surfaces. Call once, after the
// QApplication exists (a factory installed before it is never asked).
void installAccessibility();

// The accessible side of one window's game. Its texts are read from `game`
// whenever a reader asks; tell() sends the events for what changed since the
// last call.
class GameAccessibility {
  public:
    GameAccessibility(const core::Game& game, Panel& panel, PictureSurface& faceButton,
                      PictureSurface& board);
    ~GameAccessibility();
    GameAccessibility(const GameAccessibility&) = delete;
    GameAccessibility& operator=(const GameAccessibility&) = delete;

    // The game has shown something (a face, a counter, a clock value, a new state).
    void tell();

    // For the panel's interfaces.
    static const GameAccessibility* ofPanel(const QWidget* panel);
    QString counterText() const { return counterName(game_.counter()); }
    QString clockText() const { return clockName(game_.seconds()); }
    // The end of a game in words; empty while no game has ended.
    QString noticeText() const;

  private:
    struct Told {
        QString board;
        QString face;
        QString counter;
        QString clock;
        QString notice;
    };
    Told current() const;

    const core::Game& game_;
    Panel& panel_;
    PictureSurface& faceButton_;
    PictureSurface& board_;
    Told told_;
};

}  // namespace quorvel::shell
