#pragma once
// What the window needs from the settings layer: the stored settings at start-up,
// rewriting them, the best-times table with its dialogs, and the custom-board
// dialog. The window works without it (nothing read or written, no records).

#include <QPoint>
#include <QPointF>
#include <functional>
#include <optional>

#include "core/game_view.h"

class QWidget;

namespace quorvel::shell {

// What start-up applies, already decided from the file's values.
struct StartupSettings {
    core::Level level = core::Level::Beginner;
    int side = 4;   // for a custom board
    int mines = 7;  // for a custom board
    int faceSet = 0;
    QPointF position;  // window's top-left, in screen pixels
};

// What a write stores besides the best times.
struct WindowSettings {
    int difficulty = 0;  // 0 beginner, 1 advanced, 2 expert, 3 custom
    int side = 4;
    int mines = 7;
    int faceSet = 0;
    QPointF position;
};

class Records {
  public:
    virtual ~Records() = default;

    // The window the dialogs belong to; they are created on first use as its
    // children and go with it.
    virtual void setDialogParent(QWidget* window) = 0;

    // Reads the settings file, creating it with `centred` as the window position
    // when it is missing.
    virtual StartupSettings read(QPointF centred) = 0;
    virtual void write(const WindowSettings& settings) = 0;

    // Best times.
    virtual double bestTime(core::Level level) = 0;
    virtual void setRecordPrompt(core::Level level) = 0;
    virtual void prepareNameEntry(core::Level level) = 0;
    // Asks for the name, stores the record and shows the table. The table's reset
    // button rewrites the settings at once through `writeK`.
    virtual void enterRecord(core::Level level, int seconds,
                             const std::function<void()>& writeK) = 0;
    virtual void showBestTimes(const std::function<void()>& writeK) = 0;

    // The custom-board dialog opened at (side, mines); `confirm` is called with the
    // confirmed pair before the dialog closes.
    virtual void askCustomBoard(int side, int mines,
                                const std::function<void(int side, int mines)>& confirm) = 0;
};

}  // namespace quorvel::shell
