// Drives one game with any sequence of the window's events, decoded from the
// fuzzer's bytes, and checks the game's rules after every event (see
// game_invariants.h). A broken rule, or an exception out of a handler, aborts
// with a message that names it.
//
// The input: two bytes of seed for the mine placement, the start-up (level and
// face set, as the settings reader chooses them), then one event after another,
// each an event byte followed by its arguments. Bytes that run out read as 0.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

#include "core/game.h"
#include "core/geometry.h"
#include "core/levels.h"
#include "core/random_source.h"
#include "fuzz/fuzz_game_view.h"
#include "fuzz/game_invariants.h"

namespace {

using namespace quorvel;
using core::CellPos;
using core::Game;

class Bytes {
  public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return next_ >= size_; }
    std::uint8_t byte() { return next_ < size_ ? data_[next_++] : 0; }
    int word() {
        const int low = byte();
        return low | byte() << 8;
    }
    template <typename T>
    T raw() {
        std::array<unsigned char, sizeof(T)> bits{};
        for (unsigned char& b : bits) {
            b = byte();
        }
        T value;
        std::memcpy(&value, bits.data(), sizeof(T));
        return value;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t next_ = 0;
};

struct Point {
    double x;
    double y;
};

// Coordinates that mouse handlers must survive: edges of a picture `extent`
// wide, the far outside, the limits of int and double, NaN.
double special(Bytes& in, double extent) {
    using limits = std::numeric_limits<double>;
    const std::array<double, 28> values{
        // No number, and around the corner and the frame of the picture.
        limits::quiet_NaN(), 0.0, -0.0, -0.5, -1.0, 2.5, 3.0,  //
        extent - 3.5, extent - 1.0, extent - 0.5, extent, extent + 1.0,
        // Far outside: around the million where the game clamps, the ends of int.
        1.0e6, -1.0e6, 1.0e6 + 0.5, 2147483647.0, -2147483648.0, 4.0e9, -4.0e9,
        // The ends of double.
        limits::infinity(), -limits::infinity(), 1.0e300, -1.0e300, limits::denorm_min(),
        limits::max(), limits::lowest(),
        // Well left of and above the board.
        -100.0, -97.0};
    return values[in.byte() % values.size()];
}

// A point on the board surface: mostly near a cell (its anchor moved by up to a
// cell's size, with a fraction), else anywhere around the picture, on its edges,
// far outside, or any double at all.
Point boardPoint(Bytes& in, int side) {
    const int kind = in.byte() % 8;
    const double width = core::boardWidth(side);
    const double height = core::boardHeight(side);
    if (kind < 4) {
        const int c = in.byte() % (2 * side - 1);
        const int edge = std::abs(c - (side - 1));
        const int r = edge + 2 * (in.byte() % (2 * side - 1 - edge));
        const int offset = in.byte();
        const std::array<double, 4> fraction{0.0, 0.5, 0.999, 0.25};
        return {core::anchorX(c) + (offset & 31) - 12 + fraction[static_cast<std::size_t>(kind)],
                core::cellY(r) + (offset >> 5) * 3 - 3 + fraction[static_cast<std::size_t>(kind)]};
    }
    switch (kind) {
        case 4: {
            const double x = in.word() % (static_cast<int>(width) + 40) - 20;
            return {x, in.word() % (static_cast<int>(height) + 40) - 20.0};
        }
        case 5: {
            const double x = special(in, width);
            return {x, special(in, height)};
        }
        case 6: {
            const auto x = in.raw<double>();
            return {x, in.raw<double>()};
        }
        default: {
            const double x = special(in, width);
            return {x, in.word() % static_cast<int>(height) + 0.5};
        }
    }
}

// A point on the 32 x 26 face button and a little around it, or a special one.
Point facePoint(Bytes& in) {
    switch (in.byte() % 4) {
        case 0:
        case 1: {
            const double x = in.byte() % 40 - 4;
            return {x, in.byte() % 34 - 4 + 0.5};
        }
        case 2: {
            const double x = special(in, 32);
            return {x, special(in, 26)};
        }
        default: {
            const auto x = in.raw<double>();
            return {x, in.raw<double>()};
        }
    }
}

// Mostly the codes the window sends (1, 2, 4 and the sums a move carries), now
// and then any int.
int buttonCode(Bytes& in) {
    const int b = in.byte();
    if (b >= 240) {
        return in.raw<std::int32_t>();
    }
    constexpr std::array<int, 11> codes{1, 1, 1, 2, 2, 4, 0, 3, 5, 6, 7};
    return codes[static_cast<std::size_t>(b) % codes.size()];
}

// A key: F2, Esc, or a key code that is one of them only when it is that key's
// code in the window system the corpus was recorded with (113 and 27).
core::Key key(Bytes& in) {
    const auto byCode = [](std::int32_t code) {
        return code == 113 ? core::Key::NewGame : code == 27 ? core::Key::Escape : core::Key::Other;
    };
    switch (in.byte() % 4) {
        case 0:
            return core::Key::NewGame;
        case 1:
            return core::Key::Escape;
        case 2:
            return byCode(in.byte());
        default:
            return byCode(in.raw<std::int32_t>());
    }
}

// What the best-times table holds for a level: round times, the limits, a
// fraction, or 0 for a time text without a number.
double bestTimeAnswer(Bytes& in) {
    const int b = in.byte();
    constexpr std::array<double, 8> times{0.0, 1.0, 2.0, 5.0, 998.0, 999.0, 1.5, 0.5};
    if (b >= 128) {
        return in.word() % 1000;
    }
    return times[static_cast<std::size_t>(b) % times.size()];
}

// A mine count the custom-board dialog can hand over: from what it makes of a
// number below its range to what it makes of one above.
int customMines(Bytes& in, int side) {
    const int least = core::customMinesTyped(side, 0);
    const int most = core::customMinesTyped(side, core::cellCount(side));
    return least + in.word() % (most - least + 1);
}

core::FaceSet faceSet(Bytes& in) {
    return core::kFaceSets[in.byte() % core::kFaceSets.size()];
}

constexpr std::array<core::Level, 3> kFixedLevels{core::Level::Beginner, core::Level::Advanced,
                                                  core::Level::Expert};

enum Event : std::uint8_t {
    FieldDown,
    FieldMove,
    FieldUp,
    FieldClick,
    OpenSafeCell,
    FlagCells,
    FaceDown,
    FaceMove,
    FaceUp,
    Key,
    Ticks,
    Minimise,
    LevelItem,
    CustomBoard,
    FaceSetItem,
    BestTimeEntry,
    kEventCount,
};

class Driver {
  public:
    Driver(Bytes& in, Game& game, fuzz::FuzzGameView& view)
        : in_(in), game_(game), view_(view), rules_(game, view) {}

    // What the settings reader does at start-up: a level, then the face set.
    void startUp() {
        const int level = in_.byte() % 4;
        const core::FaceSet face = faceSet(in_);
        if (level == 3) {
            customBoard();
        } else {
            levelItem(level);
        }
        check("start-up face set", [&] { return game_.chooseFaceSet(face); });
    }

    void step() {
        const int b = in_.byte();
        const auto event = static_cast<Event>(b % kEventCount);
        // A minimised window gets no input; only the timer and the restore reach it.
        if (view_.minimized && event != Ticks && event != Minimise) {
            return;
        }
        run(event);
    }

  private:
    void run(Event event) {
        switch (event) {
            case FieldDown:
            case FieldMove:
            case FieldUp:
                fieldEvent(event);
                break;
            case FieldClick:
                fieldClick();
                break;
            case OpenSafeCell:
                openSafeCell();
                break;
            case FlagCells:
                flagCells();
                break;
            case FaceDown:
            case FaceMove:
            case FaceUp:
                faceEvent(event);
                break;
            case Key: {
                const core::Key pressed = key(in_);
                check("key", [&] { return game_.keyDown(pressed); });
                break;
            }
            case Ticks:
                ticks();
                break;
            default:
                menuOrWindow(event);
                break;
        }
    }

    void menuOrWindow(Event event) {
        switch (event) {
            case Minimise:
                check("minimise or restore", [&] { view_.minimized = !view_.minimized; });
                break;
            case LevelItem:
                levelItem(in_.byte() % 3);
                break;
            case CustomBoard:
                customBoard();
                break;
            case FaceSetItem: {
                const core::FaceSet face = faceSet(in_);
                check("face set", [&] { return game_.chooseFaceSet(face); });
                break;
            }
            case BestTimeEntry: {
                const core::Level level = kFixedLevels[in_.byte() % kFixedLevels.size()];
                const double time = bestTimeAnswer(in_);
                check("best time", [&] { view_.best[fuzz::FuzzGameView::row(level)] = time; });
                break;
            }
            default:
                break;
        }
    }

    void fieldEvent(Event event) {
        const int button = buttonCode(in_);
        const Point p = boardPoint(in_, game_.side());
        if (event == FieldDown) {
            check("board press", [&] { game_.boardPress(button, p.x, p.y); });
        } else if (event == FieldMove) {
            check("board move", [&] { game_.boardMove(button, p.x, p.y); });
        } else {
            check("board release", [&] { return game_.boardRelease(button, p.x, p.y); });
        }
    }

    // A press and a release of the left or right button at one point.
    void fieldClick() {
        const int button = in_.byte() % 2 == 0 ? core::kLeftButton : core::kRightButton;
        const Point p = boardPoint(in_, game_.side());
        check("board press", [&] { game_.boardPress(button, p.x, p.y); });
        check("board release", [&] { return game_.boardRelease(button, p.x, p.y); });
    }

    // The cells of the board whose code passes, column by column (in a list
    // kept from one event to the next).
    template <typename Pred>
    const std::vector<CellPos>& cellsWhere(Pred pred) {
        found_.clear();
        core::forEachCell(game_.side(), [&](CellPos cell) {
            if (pred(game_.board().at(cell.c, cell.r))) {
                found_.push_back(cell);
            }
        });
        return found_;
    }

    // A click in the middle of the cell's anchor pixel.
    void click(int button, CellPos cell) {
        const double x = core::anchorX(cell.c) + 0.5;
        const double y = core::cellY(cell.r) + 0.5;
        check("board press", [&] { game_.boardPress(button, x, y); });
        check("board release", [&] { return game_.boardRelease(button, x, y); });
    }

    // A left click on a covered cell without mine or flag, chosen by the next byte:
    // lets the fuzzer win games that it could not win by guessing.
    void openSafeCell() {
        const int pick = in_.byte();
        const std::vector<CellPos>& safe =
            cellsWhere([](core::Cell cell) { return cell == core::Cell::Covered; });
        if (!safe.empty()) {
            click(core::kLeftButton, safe[static_cast<std::size_t>(pick) % safe.size()]);
        }
    }

    // Right clicks on up to 63 cells without a flag in a row: boards flagged nearly
    // full before the first opening, which guessing reaches too rarely.
    void flagCells() {
        const int first = in_.byte();
        const int count = in_.byte() % 64;
        const std::vector<CellPos>& unflagged = cellsWhere([](core::Cell cell) {
            return cell == core::Cell::Covered || cell == core::Cell::CoveredMine;
        });
        for (int i = 0; i < count && i < static_cast<int>(unflagged.size()); ++i) {
            const std::size_t at = static_cast<std::size_t>(first + i) % unflagged.size();
            click(core::kRightButton, unflagged[at]);
        }
    }

    void faceEvent(Event event) {
        const int button = buttonCode(in_);
        const Point p = facePoint(in_);
        if (event == FaceDown) {
            check("face press", [&] { game_.facePress(button, p.x, p.y); });
        } else if (event == FaceMove) {
            check("face move", [&] { game_.faceMove(button, p.x, p.y); });
        } else {
            check("face release", [&] { game_.faceRelease(button, p.x, p.y); });
        }
    }

    // Up to 1024 seconds pass. The clock ticks only while it runs. The
    // clock only ever rises, so a check after the last tick covers every tick.
    void ticks() {
        const int low = in_.byte();
        const int count = 1 + low + 256 * (in_.byte() % 4);
        check("clock ticks", [&] {
            for (int i = 0; i < count && view_.clockRunning; ++i) {
                game_.tick();
            }
        });
    }

    void levelItem(int item) {
        const core::Level level = kFixedLevels[static_cast<std::size_t>(item)];
        check("level", [&] { game_.chooseLevel(level); });
    }

    void customBoard() {
        const int side = core::kSides[in_.byte() % core::kSides.size()];
        const int mines = customMines(in_, side);
        check("custom board", [&] { game_.chooseCustomBoard(side, mines); });
    }

    // One event: the rules must hold after it, and no exception may escape it.
    // What its move hands back is checked, then done as the window does it.
    template <typename Handler>
    void check(const char* event, Handler handler) {
        ++events_;
        rules_.before();
        core::MoveOutcome outcome;
        try {
            if constexpr (std::is_void_v<std::invoke_result_t<Handler>>) {
                handler();
            } else {
                outcome = handler();
            }
        } catch (const std::exception& e) {
            fail(event, std::string("exception escaped: ") + e.what());
        } catch (...) {
            fail(event, "exception escaped");
        }
        std::optional<std::string> broken = rules_.after();
        if (!broken) {
            broken = rules_.handedBack(outcome);
        }
        if (broken) {
            fail(event, *broken);
        }
        view_.act(outcome);
    }

    [[noreturn]] void fail(const char* event, const std::string& rule) const {
        std::fprintf(stderr, "core_game_fuzz: after event %d (%s): %s\n", events_, event,
                     rule.c_str());
        std::abort();
    }

    Bytes& in_;
    Game& game_;
    fuzz::FuzzGameView& view_;
    fuzz::GameInvariants rules_;
    std::vector<CellPos> found_;
    int events_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    fuzz::FuzzGameView view;
    core::SeededRandom random(static_cast<std::uint64_t>(in.word()));
    Game game(view, random);
    Driver driver(in, game, view);
    driver.startUp();
    while (!in.empty()) {
        driver.step();
    }
    return 0;
}
