#pragma once
// The window's menus: the game menu (new game, the four levels, the face sets,
// best times, quit) and the help menu (About). Each item calls the window's
// move for it; the levels' and face sets' check marks go where the game puts
// them (menu_marks.h).

#include <QString>
#include <array>
#include <cstddef>
#include <functional>

#include "core/face_set.h"
#include "core/levels.h"
#include "shell/menu_marks.h"

class QAction;
class QMenu;
class QMenuBar;

namespace quorvel::shell {

// What the items do.
struct MenuMoves {
    std::function<void()> newGame;
    // Beginner, advanced and expert; the custom item asks for its board.
    std::function<void(core::Level)> chooseLevel;
    std::function<void()> askCustomBoard;
    std::function<void(core::FaceSet)> chooseFaceSet;
    std::function<void()> showBestTimes;
    std::function<void()> quit;
    std::function<void()> showAbout;
};

class GameMenus {
  public:
    // Fills `bar`; the moves are called with `context` alive only.
    GameMenus(QMenuBar& bar, QObject& context, MenuMoves moves);

    QAction* newAction() const { return new_; }
    QAction* levelAction(core::Level level) const {
        return levels_.at(static_cast<std::size_t>(level));
    }
    QAction* faceAction(core::FaceSet set) const {
        return faceSets_.at(static_cast<std::size_t>(core::faceSetNumber(set)));
    }

    void markLevel(core::Level level) { levelMarks_.mark(levelAction(level)); }
    void markFaceSet(core::FaceSet set) { faceMarks_.mark(faceAction(set)); }

  private:
    QAction* addItem(QMenu* menu, const char16_t* caption, std::function<void()> move);
    void addLevelItems(QMenu* menu);
    void addFaceItems(QMenu* menu);

    QObject& context_;
    MenuMoves moves_;
    MenuMarks levelMarks_;
    MenuMarks faceMarks_;
    QAction* new_ = nullptr;
    std::array<QAction*, 4> levels_{};
    std::array<QAction*, core::kFaceSets.size()> faceSets_{};
};

}  // namespace quorvel::shell
