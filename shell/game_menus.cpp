#include "shell/game_menus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "shell/window_texts.h"

namespace quorvel::shell {

using texts::text;

GameMenus::GameMenus(QMenuBar& bar, QObject& context, MenuMoves moves)
    : context_(context), moves_(std::move(moves)) {
    QMenu* game = bar.addMenu(text(texts::kGameMenu));
    new_ = addItem(game, texts::kNewGame, moves_.newGame);
    new_->setShortcut(QKeySequence(Qt::Key_F2));
    game->addSeparator();
    addLevelItems(game);
    game->addSeparator();
    addFaceItems(game->addMenu(text(texts::kFaceMenu)));
    game->addSeparator();
    addItem(game, texts::kBestTimes, moves_.showBestTimes);
    game->addSeparator();
    addItem(game, texts::kQuit, moves_.quit);

    QMenu* help = bar.addMenu(text(texts::kHelpMenu));
    addItem(help, texts::kAbout, moves_.showAbout);
}

QAction* GameMenus::addItem(QMenu* menu, const char16_t* caption, std::function<void()> move) {
    QAction* item = menu->addAction(text(caption));
    QObject::connect(item, &QAction::triggered, &context_, std::move(move));
    return item;
}

void GameMenus::addLevelItems(QMenu* menu) {
    for (std::size_t i = 0; i < levels_.size(); ++i) {
        const auto level = static_cast<core::Level>(i);
        QAction* item = levels_[i] = menu->addAction(text(texts::kLevels[i]));
        // Marked before the move connects: the marks are back in place when it runs.
        levelMarks_.add(item);
        QObject::connect(item, &QAction::triggered, &context_, [this, level] {
            if (level == core::Level::Custom) {
                moves_.askCustomBoard();
            } else {
                moves_.chooseLevel(level);
            }
        });
    }
}

void GameMenus::addFaceItems(QMenu* menu) {
    for (const core::FaceSet set : core::kFaceSets) {
        const auto i = static_cast<std::size_t>(core::faceSetNumber(set));
        QAction* item = faceSets_[i] = menu->addAction(text(texts::kFaceSets[i]));
        faceMarks_.add(item);
        QObject::connect(item, &QAction::triggered, &context_,
                         [this, set] { moves_.chooseFaceSet(set); });
    }
}

}  // namespace quorvel::shell
