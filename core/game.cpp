#include "core/game.h"

#include "core/leading_number.h"

#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <vector>

namespace quorvel::core {

namespace {

// Mouse coordinates arrive as doubles and may lie far outside the board (the
// pointer is captured while a button is held). Anything that far out maps to no
// cell; clamping first keeps the conversion defined for every input, NaN included.
int wholePixel(double v) {
    constexpr double kFar = 1.0e6;
    if (!(v > -kFar)) {
        return -static_cast<int>(kFar);
    }
    if (v > kFar) {
        return static_cast<int>(kFar);
    }
    return static_cast<int>(std::floor(v));
}

constexpr int kMaxSeconds = 999;

// Visits every cell of a board of this side, column by column, top to bottom.
template <typename Visit>
void forEachCell(int side, Visit visit) {
    for (int c = 0; c <= 2 * side - 2; ++c) {
        const int d = c > side - 1 ? c - (side - 1) : side - 1 - c;
        for (int r = d; r <= 4 * (side - 1) - d; r += 2) {
            visit(c, r);
        }
    }
}

// The counter's value is the number its text reads. The game only ever writes
// whole numbers there; anything else is cut to an int without overflowing.
int counterValue(const std::string& text) {
    const double value = leadingNumber(text);
    constexpr double kLimit = 1.0e9;
    if (!(value > -kLimit)) {
        return -static_cast<int>(kLimit);
    }
    if (value > kLimit) {
        return static_cast<int>(kLimit);
    }
    return static_cast<int>(value);
}

}  // namespace

LevelSetup fixedLevel(Level level) {
    switch (level) {
        case Level::Beginner:
            return {4, 7};
        case Level::Advanced:
            return {6, 21};
        case Level::Expert:
            return {8, 49};
        case Level::Custom:
            break;
    }
    throw std::invalid_argument("the custom board has no fixed side and mine count");
}

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

GameState Game::state() const {
    if (timerEnabled_) {
        return GameState::Running;
    }
    if (fieldEnabled_) {
        return GameState::Ready;
    }
    if (lost_) {
        return GameState::Lost;
    }
    if (won_) {
        return GameState::Won;
    }
    return GameState::Ready;
}

void Game::showFace(Face face) {
    shownFace_ = face;
    shownFaceSet_ = faceSet_;
    view_.showFace(face, faceSet_);
}

void Game::setResting(Face face) {
    restingFace_ = face;
    restingFaceSet_ = faceSet_;
}

void Game::setTimer(bool enabled) {
    timerEnabled_ = enabled;
    view_.setTimerEnabled(enabled);
}

void Game::setField(bool enabled) {
    fieldEnabled_ = enabled;
    view_.setFieldEnabled(enabled);
}

// ---------------------------------------------------------------- new game, levels

void Game::New_Click() {
    requireValidSide(side_);
    showFace(Face::Normal);
    setResting(Face::Normal);
    setTimer(false);
    setZmin(std::to_string(mineCount_));
    board_.clear();
    // The board drawing forgets the held cell before it lays the window out.
    pressedX_ = kNoCell;
    pressedY_ = kNoCell;
    view_.layoutBoard(side_);
    coveredCount_ = cellCount(side_);
    setField(true);
    lost_ = false;
    won_ = false;
    seconds_ = -1;
    TimerT_Timer();
}

void Game::setLevel(Level level) {
    const LevelSetup setup = fixedLevel(level);
    levelMark_ = level;
    view_.showLevelMark(level);
    side_ = setup.side;
    mineCount_ = setup.mines;
    view_.setRecordPrompt(level);
    New_Click();
}

void Game::NGB() {
    setLevel(Level::Beginner);
}
void Game::NGA() {
    setLevel(Level::Advanced);
}
void Game::NGE() {
    setLevel(Level::Expert);
}

void Game::CustOK(int side, int mines) {
    requireValidSide(side);
    if (mines < 1) {
        throw std::invalid_argument("a board needs at least one mine, got " +
                                    std::to_string(mines));
    }
    levelMark_ = Level::Custom;
    view_.showLevelMark(Level::Custom);
    side_ = side;
    mineCount_ = mines;
    New_Click();
}

void Game::Skn_Click(int index) {
    if (index < 0 || index > 2) {
        throw std::invalid_argument("no face set " + std::to_string(index));
    }
    if (faceMark_ == index) {
        return;
    }
    faceSet_ = index;
    faceMark_ = index;
    view_.showFaceMark(index);
    New_Click();
    view_.WriteK();
}

// ---------------------------------------------------------------- opening cells

void Game::Clicking(int x, int y) {
    if (x == kNoCell || y == kNoCell || !fieldEnabled_) {
        return;
    }
    const int c = GetPX(side_, x, y);
    const int r = GetPY(side_, x, y);
    if (c <= 0 && r <= 0) {
        return;
    }
    if (!timerEnabled_) {
        MakeField(mineCount_, c, r);
        setTimer(true);
    }
    --coveredCount_;
    int n = 0;
    for (const CellPos& d : kNeighbourOffsets) {
        if (hasMine(board_.at(c + d.c, r + d.r))) {
            ++n;
        }
    }
    if (hasMine(board_.at(c, r))) {
        lose(x, y, c, r);
        return;
    }
    board_.set(c, r, Cell::Opened);
    int sunkenX = x + 1;
    view_.DrawPD(sunkenX, y);
    view_.DrawNu(x, y, n);
    if (n == 0) {
        view_.refreshField();
        // Depth first: each neighbour is tested only after the previous one's whole
        // fill has finished, so a cell opened deeper down is skipped here.
        for (const CellPos& d : kNeighbourOffsets) {
            if (board_.at(c + d.c, r + d.r) == Cell::Covered) {
                Clicking(x + kColumnPitch * d.c, y + kHalfRowPitch * d.r);
            }
        }
    }
    // Every call that opened a cell tests for the win; the first one that finds it
    // stops the timer, so the calls still unwinding find the game over.
    if (timerEnabled_ && mineCount_ == coveredCount_) {
        win();
    }
}

void Game::lose(int x, int y, int c, int r) {
    showFace(Face::Dead);
    setResting(Face::Dead);
    int hitX = x + 1;
    view_.DrawMin(hitX, y, MineKind::Hit);
    for (int i = 0; i <= 2 * side_; ++i) {
        for (int j = 0; j <= 4 * side_; ++j) {
            const int ax = anchorX(i);
            const int ay = cellY(j);
            const Cell cell = board_.at(i, j);
            if (cell == Cell::CoveredMine && !(i == c && j == r)) {
                int mineX = ax;
                view_.DrawMin(mineX, ay, MineKind::Revealed);
            } else if (cell == Cell::FlaggedSafe) {
                int crossX = ax + 1;
                view_.DrawCrs(crossX, ay);
            }
        }
    }
    setTimer(false);
    setField(false);
    lost_ = true;
}

void Game::win() {
    showFace(Face::Winner);
    setResting(Face::Winner);
    view_.refreshField();
    setZmin("0");
    for (int i = 0; i <= 2 * side_; ++i) {
        for (int j = 0; j <= 4 * side_; ++j) {
            if (board_.at(i, j) == Cell::CoveredMine) {
                view_.DrawFlg(originX(i), cellY(j));
            }
        }
    }
    setTimer(false);
    setField(false);
    won_ = true;
    recordCheck();
}

void Game::recordCheck() {
    // The level is read from the check marks, the later test winning; with the
    // custom item marked it stays at the beginner row, whose entry is read but
    // never replaced.
    Level level = Level::Beginner;
    if (levelMark_ == Level::Advanced) {
        level = Level::Advanced;
    }
    if (levelMark_ == Level::Expert) {
        level = Level::Expert;
    }
    bestTime_ = view_.bestTime(level);
    view_.prepareNameEntry(level);
    // An equal time keeps the old record.
    if (bestTime_ <= seconds_ || levelMark_ == Level::Custom) {
        return;
    }
    view_.enterRecord(level, seconds_);
    bestTime_ = seconds_;
    view_.WriteK();
}

void Game::MakeField(int mines, int firstCol, int firstRow) {
    requireValidSide(side_);
    random_.reseed();
    const int width = boardWidth(side_);
    const int height = boardHeight(side_);

    // Cells a mine may still go to. The sampling below only ends when one exists,
    // so it is counted up front and kept current.
    int eligible = 0;
    forEachCell(side_, [&](int c, int r) {
        if (board_.at(c, r) == Cell::Covered && !(c == firstCol && r == firstRow)) {
            ++eligible;
        }
    });

    int remaining = mines;
    // At least one mine, as the placement tests for the end only after a mine.
    while (eligible > 0) {
        const int rx = static_cast<int>(std::floor(random_.uniform() * width));
        const int ry = static_cast<int>(std::floor(random_.uniform() * height));
        const int c = GetPX(side_, rx, ry);
        const int r = GetPY(side_, rx, ry);
        if ((c < 1 && r < 1) || board_.at(c, r) != Cell::Covered ||
            (c == firstCol && r == firstRow)) {
            continue;
        }
        board_.set(c, r, Cell::CoveredMine);
        --eligible;
        --remaining;
        if (remaining <= 0) {
            TimerT_Timer();
            return;
        }
    }

    // The player has flagged so many cells that the free ones ran out: the rest of
    // the mines go under flags, chosen uniformly; when even those run out, fewer
    // mines are placed than asked for.
    std::vector<CellPos> flagged;
    forEachCell(side_, [&](int c, int r) {
        if (board_.at(c, r) == Cell::FlaggedSafe && !(c == firstCol && r == firstRow)) {
            flagged.push_back({c, r});
        }
    });
    while (remaining > 0 && !flagged.empty()) {
        auto pick =
            static_cast<std::size_t>(random_.uniform() * static_cast<double>(flagged.size()));
        if (pick >= flagged.size()) {
            pick = flagged.size() - 1;
        }
        board_.set(flagged[pick].c, flagged[pick].r, Cell::FlaggedMine);
        flagged[pick] = flagged.back();
        flagged.pop_back();
        --remaining;
    }
    TimerT_Timer();
}

// ---------------------------------------------------------------- board mouse input

void Game::Field_MouseDown(int button, int shift, double x, double y) {
    // A disabled board surface receives no mouse events.
    if (!fieldEnabled_) {
        return;
    }
    if (button == kLeftButton) {
        Field_MouseMove(kLeftButton, shift, x, y);
    } else if (button == kRightButton) {
        Field_MouseMove(kToggleFlag, shift, x, y);
    }
}

void Game::Field_MouseMove(int button, int shift, double x, double y) {
    if (!fieldEnabled_) {
        return;
    }
    const int mx = wholePixel(x) - kFrameWidth;
    const int my = wholePixel(y) - kFrameWidth;
    const int c = GetPX(side_, mx, my);
    const int r = GetPY(side_, mx, my);
    if (c <= 0 && r <= 0) {
        release(button, shift, x, y);
        return;
    }
    const int ax = anchorX(c);
    const int ay = cellY(r);
    const Cell cell = board_.at(c, r);

    if (button == kLeftButton) {
        if (!(shownFace_ == Face::Surprised && shownFaceSet_ == faceSet_)) {
            showFace(Face::Surprised);
        }
        // Both coordinates must differ. A held PressedX is an outline origin, one
        // less than any anchor, so in effect this asks whether the anchor y moved.
        if (ax != pressedX_ && ay != pressedY_) {
            if (cell != Cell::Opened && !isFlagged(cell)) {
                view_.DrawP2(pressedX_, pressedY_);
                pressedX_ = ax;
                pressedY_ = ay;
                // Leaves PressedX at the outline origin.
                view_.DrawPD(pressedX_, pressedY_);
            } else {
                view_.DrawP2(pressedX_, pressedY_);
                pressedX_ = kNoCell;
                pressedY_ = kNoCell;
            }
        }
    } else if (button == kToggleFlag) {
        if (ax != pressedX_ && ay != pressedY_ && cell != Cell::Opened && c + r > 0) {
            const int counter = counterValue(zmin_);
            if (cell == Cell::Covered || cell == Cell::CoveredMine) {
                view_.DrawFlg(ax - 1, ay);
                board_.set(c, r, withFlag(cell));
                setZmin(std::to_string(counter - 1));
            } else if (isFlagged(cell)) {
                int clearX = ax + 1;
                view_.DrawP3(clearX, ay);
                board_.set(c, r, withoutFlag(cell));
                setZmin(std::to_string(counter + 1));
            }
        }
    }
}

void Game::Field_MouseUp(int button, int shift, double x, double y) {
    if (!fieldEnabled_) {
        return;
    }
    release(button, shift, x, y);
}

// The release itself, also run by the move handler when the pointer leaves the
// board and by the Esc key, which acts even on a finished game.
void Game::release(int button, int /*shift*/, double x, double y) {
    const int mx = wholePixel(x) - kFrameWidth;
    const int my = wholePixel(y) - kFrameWidth;
    const int c = GetPX(side_, mx, my);
    const int r = GetPY(side_, mx, my);
    if (button != kLeftButton) {
        return;
    }
    showFace(Face::Normal);
    view_.DrawP2(pressedX_, pressedY_);
    // The held cell is opened wherever on the board the button comes up.
    if (c > 0 || r > 0) {
        Clicking(pressedX_, pressedY_);
    }
    pressedX_ = kNoCell;
    pressedY_ = kNoCell;
}

// ---------------------------------------------------------------- face button

void Game::Picture2_MouseDown(int button, int shift, double x, double y) {
    Picture2_MouseMove(button, shift, x, y);
}

void Game::Picture2_MouseMove(int button, int /*shift*/, double x, double y) {
    if (button != kLeftButton) {
        return;
    }
    const bool showsResting = shownFace_ == restingFace_ && shownFaceSet_ == restingFaceSet_;
    if (showsResting && faceButtonMaskAt(wholePixel(x), wholePixel(y))) {
        showFace(Face::Pressed);
    }
}

void Game::Picture2_MouseUp(int /*button*/, int /*shift*/, double x, double y) {
    const bool pressed = shownFace_ == Face::Pressed && shownFaceSet_ == faceSet_;
    if (pressed && faceButtonMaskAt(wholePixel(x), wholePixel(y))) {
        New_Click();
    }
    // Before the first game there is no resting face to go back to.
    if (restingFaceSet_ >= 0) {
        shownFace_ = restingFace_;
        shownFaceSet_ = restingFaceSet_;
        view_.showFace(restingFace_, restingFaceSet_);
    }
}

// ---------------------------------------------------------------- keys, clock, counter

void Game::Form_KeyDown(int keyCode, int /*shift*/) {
    if (keyCode == kKeyF2) {
        New_Click();
    } else if (keyCode == kKeyEsc) {
        // As if the left button came up over the held cell: (PressedX-3, PressedY-3)
        // lies inside it, so a held cell is opened.
        release(kLeftButton, 1, pressedX_, pressedY_);
        view_.minimize();
    }
}

void Game::TimerT_Timer() {
    if (seconds_ < kMaxSeconds && !view_.isMinimized()) {
        ++seconds_;
        view_.showClock(seconds_);
    }
}

void Game::setZmin(const std::string& text) {
    if (text == zmin_) {
        return;
    }
    zmin_ = text;
    // Zmin_Change: the counter places follow the text.
    const CounterGlyphs glyphs = counterGlyphs(counterValue(zmin_));
    view_.showCounter(glyphs.left, glyphs.right);
}

}  // namespace quorvel::core
