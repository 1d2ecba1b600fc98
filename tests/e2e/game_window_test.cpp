// The built game in a real X server: the test starts its own Xvfb and openbox,
// starts the game with a fresh home directory, drives it with real input through
// xdotool and compares screenshots of its window with the pictures render/ makes.
// One test reads the game over the accessibility bus as a screen reader does. It
// ends only the processes it started, by their process ids.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QImage>
#include <QPoint>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "core/game_view.h"
#include "core/geometry.h"
#include "process.h"
#include "render/board_pictures.h"
#include "render/face_pictures.h"
#include "render/panel_pictures.h"
#include "render/picture.h"
#include "settings/fence.h"
#include "shell/client_layout.h"
#include "tests/support/client_picture.h"
#include "tests/support/image_compare.h"

#ifndef QUORVEL_GAME_PATH
#error "QUORVEL_GAME_PATH must name the built game"
#endif
#ifndef QUORVEL_ATSPI_SCRIPT
#error "QUORVEL_ATSPI_SCRIPT must name the script that reads the game over AT-SPI"
#endif

namespace quorvel::e2e {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using std::chrono::seconds;

// The beginner board, the start-up level when there is no settings file.
constexpr int kSide = 4;
constexpr int kBeginnerMines = 7;

// The client area of the beginner board, laid out as the window lays it out.
namespace layout = shell::layout;
const int kBoardW = core::boardWidth(kSide);
const int kBoardH = core::boardHeight(kSide);
const int kClientW = layout::clientWidth(kBoardW);
const int kClientH = layout::clientHeight(kBoardH);
constexpr int kFieldX = layout::kFieldX;
constexpr int kFieldY = layout::kFieldY;
constexpr int kCounterPlaceX = layout::kPanelX + layout::digitX(layout::kCounterBoxX, 0);
constexpr int kPlaceY = layout::kPanelY + layout::kDigitY;
const int kFaceX = layout::kPanelX + layout::faceButtonX(kBoardW);
constexpr int kFaceY = layout::kPanelY + layout::kFaceButtonY;
const int kClockPlaceX = layout::kPanelX + layout::digitX(layout::clockBoxX(kBoardW), 0);
constexpr int kPlaceStep = layout::kDigitWidth;

// The cell the test opens: a middle cell of the beginner board, so that its whole
// outline lies well inside the board surface.
constexpr int kCellC = 3;
constexpr int kCellR = 6;

constexpr const char* kWindowName = "^Quorvel$";

// The accessibility bus's launcher, and the Python that has the AT-SPI bindings.
constexpr const char* kBusLauncher = "/usr/libexec/at-spi-bus-launcher";
constexpr const char* kPython = "/usr/bin/python3";

// Where a click opens a cell, from the window's top left corner: inside the cell's
// outline, below the menu bar.
QPoint cellPoint(core::CellPos cell, int menuBar) {
    return {kFieldX + core::anchorX(cell.c) + 3, menuBar + kFieldY + core::cellY(cell.r) + 8};
}

// One object of the game's window as the accessibility bus shows it.
struct Accessible {
    std::string role;  // the name of its pyatspi constant, such as "ROLE_LABEL"
    std::string name;
    std::string description;
    std::string actions;  // comma-separated
    bool showing = false;
};
using AccessibleTree = std::vector<Accessible>;

// The n-th object with this role in reading order, or an empty one.
Accessible nth(const AccessibleTree& tree, const std::string& role, int n = 0) {
    for (const Accessible& object : tree) {
        if (object.role == role && n-- == 0) {
            return object;
        }
    }
    return {};
}

// The number in a name such as "Čas: 12 s", or -1.
int numberIn(const std::string& text) {
    const std::size_t digit = text.find_first_of("0123456789");
    return digit == std::string::npos ? -1 : std::atoi(text.c_str() + digit);
}

using support::compareArea;
using support::toPicture;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string tail(const std::string& text, std::size_t chars = 4000) {
    return text.size() <= chars ? text : "..." + text.substr(text.size() - chars);
}

class GameWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/quorvel-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr) << "cannot create a temporary directory";
        work_ = pattern;
        home_ = work_ / "home";
        fs::create_directories(home_);
    }

    void TearDown() override {
        // Ours only, in the reverse order of starting, each by its process id. The
        // launcher ends the accessibility bus it started, and the registry daemon
        // that bus started on demand ends with the session bus.
        game_.stop();
        busLauncher_.stop();
        sessionBus_.stop();
        wm_.stop();
        xvfb_.stop();
        if (HasFailure()) {
            std::cerr << "game output:\n"
                      << tail(readFile(work_ / "game.log")) << "\nfiles kept in " << work_ << "\n";
        } else {
            std::error_code ignored;
            fs::remove_all(work_, ignored);
        }
    }

    // Every tool the test needs; a missing one fails the test (the set-up script
    // installs them all).
    static std::string missingTools() {
        std::string missing;
        for (const char* tool : {"Xvfb", "xdpyinfo", "xprop", "openbox", "xdotool", "import",
                                 "dbus-daemon", "dbus-send"}) {
            if (findProgram(tool).empty()) {
                missing += std::string(missing.empty() ? "" : ", ") + tool;
            }
        }
        for (const char* program : {kBusLauncher, kPython}) {
            if (!fs::exists(program)) {
                missing += std::string(missing.empty() ? "" : ", ") + program;
            }
        }
        return missing;
    }

    Environment xEnvironment() const {
        Environment env = Environment::inherited();
        env.set("DISPLAY", display_);
        if (!busAddress_.empty()) {
            env.set("DBUS_SESSION_BUS_ADDRESS", busAddress_);
        }
        return env;
    }

    CommandResult x(const std::vector<std::string>& argv, seconds timeout = seconds(10)) const {
        return runCommand(argv, xEnvironment(), timeout);
    }

    // Starts Xvfb on a display that no other server uses: a display whose lock file
    // exists is skipped, and a start that loses a race for a display is retried on
    // the next one.
    std::string startXServer() {
        std::string lastError = "no free display between :90 and :189";
        int failedStarts = 0;
        for (int n = 90; n < 190 && failedStarts < 5; ++n) {
            const std::string lock = "/tmp/.X" + std::to_string(n) + "-lock";
            const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
            if (fs::exists(lock) || fs::exists(socket)) {
                continue;
            }
            display_ = ":" + std::to_string(n);
            const std::string error = xvfb_.start(
                {"Xvfb", display_, "-noreset", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
                Environment::inherited(), (work_ / ("xvfb" + std::to_string(n) + ".log")).string());
            if (!error.empty()) {
                return "Xvfb: " + error;
            }
            const auto deadline = Clock::now() + seconds(15);
            bool ready = false;
            while (xvfb_.running() && Clock::now() < deadline) {
                // The server answering must be ours: its lock file names our Xvfb.
                if (x({"xdpyinfo", "-display", display_}, seconds(5)).ok() &&
                    std::atoi(readFile(lock).c_str()) == xvfb_.pid()) {
                    ready = true;
                    break;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
            if (ready) {
                return {};
            }
            lastError = "Xvfb " + display_ + " did not answer xdpyinfo within 15 s: " +
                        tail(readFile(work_ / ("xvfb" + std::to_string(n) + ".log")), 800);
            xvfb_.stop();
            ++failedStarts;
        }
        return lastError;
    }

    // Starts openbox with a configuration of our own (Alt+F4 closes the active
    // window) and waits until it has taken the screen.
    std::string startWindowManager() {
        const fs::path wmHome = work_ / "wm-home";
        fs::create_directories(wmHome / ".config" / "openbox");
        std::ofstream(wmHome / ".config" / "openbox" / "rc.xml")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<openbox_config xmlns=\"http://openbox.org/3.4/rc\">\n"
               "  <focus><focusNew>yes</focusNew></focus>\n"
               "  <keyboard>\n"
               "    <keybind key=\"A-F4\"><action name=\"Close\"/></keybind>\n"
               "  </keyboard>\n"
               "</openbox_config>\n";
        Environment env = xEnvironment();
        env.set("HOME", wmHome.string());
        env.unset("XDG_CONFIG_HOME");
        const std::string error = wm_.start({"openbox"}, env, (work_ / "openbox.log").string());
        if (!error.empty()) {
            return "openbox: " + error;
        }
        const auto deadline = Clock::now() + seconds(15);
        while (wm_.running() && Clock::now() < deadline) {
            const CommandResult check = x({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"});
            if (check.ok() && check.out.find("window id") != std::string::npos) {
                return {};
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return "openbox did not take the screen within 15 s: " +
               tail(readFile(work_ / "openbox.log"), 800);
    }

    // A session bus of our own with the accessibility bus on it, as a desktop has
    // them for a screen reader. Each is ready when its name has an owner.
    std::string startAccessibilityBus() {
        const std::string address = "unix:path=" + (work_ / "session-bus").string();
        std::string error =
            sessionBus_.start({"dbus-daemon", "--session", "--nofork", "--address=" + address},
                              Environment::inherited(), (work_ / "session-bus.log").string());
        if (!error.empty()) {
            return "dbus-daemon: " + error;
        }
        busAddress_ = address;
        if (!waitForBusName(sessionBus_, "org.freedesktop.DBus")) {
            return "the session bus did not answer within 15 s: " +
                   tail(readFile(work_ / "session-bus.log"), 800);
        }
        // The accessibility bus's socket goes into our own runtime directory.
        const fs::path runtime = work_ / "runtime";
        fs::create_directories(runtime);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
        Environment env = xEnvironment();
        env.set("XDG_RUNTIME_DIR", runtime.string());
        error = busLauncher_.start({kBusLauncher}, env, (work_ / "bus-launcher.log").string());
        if (!error.empty()) {
            return "at-spi-bus-launcher: " + error;
        }
        if (!waitForBusName(busLauncher_, "org.a11y.Bus")) {
            return "the accessibility bus was not on the session bus within 15 s: " +
                   tail(readFile(work_ / "bus-launcher.log"), 800);
        }
        return {};
    }

    // Waits up to 15 s, while `owner` runs, for `name` to be owned on the session bus.
    bool waitForBusName(Child& owner, const std::string& name) const {
        const auto deadline = Clock::now() + seconds(15);
        while (owner.running() && Clock::now() < deadline) {
            const CommandResult owned =
                x({"dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                   "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner", "string:" + name});
            if (owned.ok() && owned.out.find("boolean true") != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    std::string startGame() {
        Environment env = xEnvironment();
        env.set("HOME", home_.string());
        // Qt 6.4 joins the accessibility bus only when the bus says a screen reader
        // is on, or when told to always.
        if (!busAddress_.empty()) {
            env.set("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
        }
        for (const char* name :
             {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
              "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_SCALE_FACTOR_ROUNDING_POLICY",
              "QT_ENABLE_HIGHDPI_SCALING", "QT_FONT_DPI", "QT_STYLE_OVERRIDE"}) {
            env.unset(name);
        }
        env.set("QT_QPA_PLATFORM", "xcb");
        env.set("ASAN_OPTIONS", "detect_leaks=0");
        return game_.start({QUORVEL_GAME_PATH}, env, (work_ / "game.log").string());
    }

    std::string gameOutput() const { return tail(readFile(work_ / "game.log"), 2000); }

    // The id of the game's visible main window, or an empty string with the reason
    // in `error`.
    // Everything a test needs before it looks at the window: the tools, the X
    // server, the window manager and the game with its window found. An error text,
    // empty on success.
    std::string startGameInItsOwnServer(bool withAccessibilityBus = false) {
        const std::string missing = missingTools();
        if (!missing.empty()) {
            return "missing programs: " + missing +
                   " (scripts/setup installs xvfb, x11-utils, openbox, xdotool, imagemagick, "
                   "dbus-daemon, dbus-bin, at-spi2-core and python3-pyatspi)";
        }
        if (!fs::exists(QUORVEL_GAME_PATH)) {
            return std::string("the game was not built: ") + QUORVEL_GAME_PATH;
        }
        std::vector<std::string (GameWindowTest::*)()> steps{&GameWindowTest::startXServer,
                                                             &GameWindowTest::startWindowManager};
        if (withAccessibilityBus) {
            steps.push_back(&GameWindowTest::startAccessibilityBus);
        }
        steps.push_back(&GameWindowTest::startGame);
        for (auto step : steps) {
            if (std::string error = (this->*step)(); !error.empty()) {
                return error;
            }
        }
        std::string error;
        window_ = findWindow(error);
        return window_.empty() ? error : std::string();
    }

    std::string findWindow(std::string& error) {
        const CommandResult found =
            x({"xdotool", "search", "--sync", "--onlyvisible", "--name", kWindowName}, seconds(60));
        std::istringstream lines(found.out);
        std::string id;
        lines >> id;
        if (!found.ok() || id.empty()) {
            error = std::string("no visible window named Quorvel within 60 s (xdotool search ") +
                    found.describe() + "; the game " +
                    (game_.running() ? "still runs" : "has ended") + ")\n" + gameOutput();
            return {};
        }
        return id;
    }

    // A screenshot of the window (menu bar and client area), or a null image with
    // the reason in `error`.
    QImage screenshot(std::string& error) const {
        const CommandResult shot = x({"import", "-window", window_, "png:-"}, seconds(20));
        if (!shot.ok()) {
            error = "import -window " + window_ + " " + shot.describe();
            return {};
        }
        QImage image =
            QImage::fromData(QByteArray(shot.out.data(), qsizetype(shot.out.size())), "PNG");
        if (image.isNull()) {
            error = "the screenshot is no PNG image";
            return {};
        }
        return image.convertToFormat(QImage::Format_RGB32);
    }

    // The client area: the bottom kClientH rows of the window, below the menu bar.
    QImage clientArea(const QImage& shot) const {
        return shot.copy(0, shot.height() - kClientH, kClientW, kClientH);
    }

    // Takes screenshots until `done` accepts one or `timeout` has passed; the last
    // screenshot is returned either way (null when none could be taken).
    template <typename Predicate>
    QImage screenshotWhen(Predicate done, Clock::duration timeout, std::string& error) const {
        const auto deadline = Clock::now() + timeout;
        QImage shot;
        for (;;) {
            error.clear();
            shot = screenshot(error);
            if (!shot.isNull() && shot.width() == kClientW && shot.height() > kClientH &&
                done(clientArea(shot))) {
                return shot;
            }
            if (Clock::now() >= deadline) {
                return shot;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    std::string chooseAdvancedLevel();
    fs::path settingsFile() const { return home_ / ".config" / "winmine.ini"; }

    std::string xdotool(const std::vector<std::string>& args) const {
        std::vector<std::string> argv{"xdotool"};
        argv.insert(argv.end(), args.begin(), args.end());
        const CommandResult result = x(argv);
        return result.ok() ? std::string() : "xdotool " + args.at(0) + " " + result.describe();
    }

    // The game's window read over the accessibility bus, or nothing with the
    // reason in `error`.
    std::optional<AccessibleTree> readAccessible(std::string& error) const {
        const CommandResult read = atspi({});
        if (!read.ok()) {
            error = "atspi_game.py " + read.describe();
            return std::nullopt;
        }
        AccessibleTree tree;
        std::istringstream lines(read.out);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream fields(line);
            Accessible object;
            std::string showing;
            for (std::string* field :
                 {&object.role, &object.name, &object.description, &object.actions, &showing}) {
                std::getline(fields, *field, '\t');
            }
            object.showing = showing == "showing";
            tree.push_back(object);
        }
        return tree;
    }

    // Reads the window over the accessibility bus until the board's description
    // starts with one of `prefixes` or `timeout` has passed; the last reading
    // either way.
    AccessibleTree readAccessibleWhen(const std::vector<std::string>& prefixes,
                                      Clock::duration timeout, std::string& error) const {
        const auto deadline = Clock::now() + timeout;
        AccessibleTree tree;
        for (;;) {
            error.clear();
            tree = readAccessible(error).value_or(AccessibleTree{});
            const std::string board = nth(tree, "ROLE_CANVAS").description;
            for (const std::string& prefix : prefixes) {
                if (board.starts_with(prefix)) {
                    return tree;
                }
            }
            if (Clock::now() >= deadline) {
                return tree;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }

    CommandResult atspi(const std::vector<std::string>& args) const {
        std::vector<std::string> argv{kPython, QUORVEL_ATSPI_SCRIPT, std::to_string(game_.pid())};
        argv.insert(argv.end(), args.begin(), args.end());
        return x(argv, seconds(20));
    }

    fs::path work_;
    fs::path home_;
    std::string display_;
    std::string busAddress_;
    std::string window_;
    Child xvfb_;
    Child wm_;
    Child sessionBus_;
    Child busLauncher_;
    Child game_;
};

std::string compareDigits(const QImage& client, int x, int y, const std::vector<int>& digits) {
    std::string result;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        const std::string place =
            compareArea(client, x + int(i) * kPlaceStep, y, render::digitPicture(digits[i]));
        if (!place.empty()) {
            result += "place " + std::to_string(i) + " is not digit " + std::to_string(digits[i]) +
                      ": " + place + "; ";
        }
    }
    return result;
}

// The threads of the process that run without the flag the game's fence sets
// (NoNewPrivs) before it restricts itself, which every thread started after it
// inherits: none when the game fenced itself in before its first thread.
std::string unfencedThreads(pid_t pid) {
    std::string unfenced;
    const fs::path tasks = fs::path("/proc") / std::to_string(pid) / "task";
    std::error_code error;
    for (const fs::directory_entry& task : fs::directory_iterator(tasks, error)) {
        if (readFile(task.path() / "status").find("NoNewPrivs:\t1") == std::string::npos) {
            unfenced += readFile(task.path() / "comm");
        }
    }
    return error ? error.message() : unfenced;
}

TEST_F(GameWindowTest, FirstClickOpensCellAndStartsClockAndF2RestoresStartScreen) {
    std::string error = startGameInItsOwnServer();
    ASSERT_TRUE(error.empty()) << error;
    // The game runs fenced in, every thread of it, and still plays and writes.
    if (settings::landlockAbi() > 0) {
        EXPECT_EQ(unfencedThreads(game_.pid()), "");
    }

    // --- Start screen: the untouched beginner board, counter 07, clock 000 and the
    // normal face of the first face set.
    const render::Picture& board = render::boardPicture(kSide);
    const QImage start = screenshotWhen(
        [&](const QImage& client) { return compareArea(client, kFieldX, kFieldY, board).empty(); },
        seconds(20), error);
    ASSERT_FALSE(start.isNull()) << error;
    ASSERT_EQ(start.width(), kClientW) << "the window is not as wide as the client area";
    ASSERT_GT(start.height(), kClientH) << "the window has no room for a menu bar";
    const int menuBar = start.height() - kClientH;
    const QImage startClient = clientArea(start);

    // The whole client area, frame strips and panel included, pixel for pixel.
    EXPECT_EQ(compareArea(startClient, 0, 0,
                          support::expectedClientArea(
                              board, {0, kBeginnerMines}, {0, 0, 0},
                              render::facePicture(core::Face::Normal, core::FaceSet::Yellow))),
              "")
        << "client area";
    EXPECT_EQ(compareArea(startClient, kFieldX, kFieldY, board), "") << "board surface";
    EXPECT_EQ(compareDigits(startClient, kCounterPlaceX, kPlaceY, {0, kBeginnerMines}), "")
        << "mine counter";
    EXPECT_EQ(compareDigits(startClient, kClockPlaceX, kPlaceY, {0, 0, 0}), "") << "clock";
    EXPECT_EQ(compareArea(startClient, kFaceX, kFaceY,
                          render::facePicture(core::Face::Normal, core::FaceSet::Yellow)),
              "")
        << "face button";

    // --- A left click on a covered cell opens it: its top edge turns grey 159 (the
    // sunken face), and the first opening steps the clock to 001 at once.
    ASSERT_TRUE(core::isCell(kSide, kCellC, kCellR));
    const int px = core::anchorX(kCellC) - 1;  // the cell's outline origin
    const int py = core::cellY(kCellR);
    const auto fieldPixel = [](const QImage& client, int fx, int fy) {
        return client.pixel(kFieldX + fx, kFieldY + fy) & 0xFFFFFFu;
    };
    const auto sunkenTopEdge = [&](const QImage& client) {
        // Line 6 covers (px - 1, py), line 1 runs from px to px + 7, both grey 159;
        // line 2 starts at (px + 8, py) in grey 127.
        for (int fx = px - 1; fx <= px + 7; ++fx) {
            if (fieldPixel(client, fx, py) != render::grey(159)) {
                return false;
            }
        }
        return fieldPixel(client, px + 8, py) == render::grey(127);
    };
    const QPoint click = cellPoint({kCellC, kCellR}, menuBar);
    error = xdotool({"mousemove", "--window", window_, "--sync", std::to_string(click.x()),
                     std::to_string(click.y()), "click", "1"});
    ASSERT_TRUE(error.empty()) << error;
    const auto clicked = Clock::now();
    const QImage opened = screenshotWhen(sunkenTopEdge, seconds(10), error);
    const auto seen =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - clicked).count();
    ASSERT_FALSE(opened.isNull()) << error;
    const QImage openedClient = clientArea(opened);
    EXPECT_TRUE(sunkenTopEdge(openedClient))
        << "the clicked cell's top edge is not sunken (grey 159, then grey 127) within 10 s of "
           "the click";
    EXPECT_EQ(compareDigits(openedClient, kClockPlaceX, kPlaceY, {0, 0, 1}), "")
        << "clock after the first opening (screenshot " << seen << " ms after the click)";

    // --- F2 starts a new game: the client area is the start screen again, and the
    // clock stays stopped.
    error = xdotool({"windowactivate", "--sync", window_});
    ASSERT_TRUE(error.empty()) << error;
    error = xdotool({"key", "F2"});
    ASSERT_TRUE(error.empty()) << error;
    const render::Picture startPicture = toPicture(startClient);
    const auto isStartScreen = [&](const QImage& client) {
        return compareArea(client, 0, 0, startPicture).empty();
    };
    QImage renewed = screenshotWhen(isStartScreen, seconds(10), error);
    ASSERT_FALSE(renewed.isNull()) << error;
    EXPECT_EQ(compareArea(clientArea(renewed), 0, 0, startPicture), "")
        << "client area after F2 against the start screen";
    std::this_thread::sleep_for(std::chrono::milliseconds(1300));
    renewed = screenshot(error);
    ASSERT_FALSE(renewed.isNull()) << error;
    EXPECT_EQ(compareArea(clientArea(renewed), 0, 0, startPicture), "")
        << "client area 1.3 s after F2 (the clock must not run before the first click)";

    // --- Closing the window through the window manager writes the settings file.
    const fs::path settingsFile = home_ / ".config" / "winmine.ini";
    EXPECT_TRUE(fs::exists(settingsFile)) << "start-up wrote no " << settingsFile;
    fs::remove(settingsFile);
    error = xdotool({"windowactivate", "--sync", window_});
    ASSERT_TRUE(error.empty()) << error;
    error = xdotool({"key", "alt+F4"});
    ASSERT_TRUE(error.empty()) << error;
    const std::optional<int> status = game_.waitForExit(seconds(20));
    ASSERT_TRUE(status.has_value()) << "the game did not end within 20 s of closing its window";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
        << "the game ended with " << describeStatus(*status) << "\n"
        << gameOutput();
    EXPECT_TRUE(fs::exists(settingsFile)) << "closing the window wrote no " << settingsFile;
}

// Chooses the advanced level through the menu's access keys, which is not
// written until the game quits; an error text, empty on success.
std::string GameWindowTest::chooseAdvancedLevel() {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"windowactivate", "--sync", window_},
          std::vector<std::string>{"key", "alt+h"}, std::vector<std::string>{"key", "p"}}) {
        if (std::string error = xdotool(args); !error.empty()) {
            return error;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(args[1] == "alt+h" ? 500 : 0));
    }
    const auto deadline = Clock::now() + seconds(10);
    while (Clock::now() < deadline) {
        const CommandResult geometry = x({"xdotool", "getwindowgeometry", window_});
        if (geometry.out.find("218x") != std::string::npos) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return readFile(settingsFile()).find("Difficulty=1") == std::string::npos
               ? std::string()
               : "the level was written before the game quit";
}

TEST_F(GameWindowTest, ATerminationSignalQuitsAsClosingTheWindowDoes) {
    std::string error = startGameInItsOwnServer();
    ASSERT_TRUE(error.empty()) << error;
    error = chooseAdvancedLevel();
    ASSERT_TRUE(error.empty()) << error;
    const fs::path settingsFile = this->settingsFile();

    ASSERT_EQ(::kill(game_.pid(), SIGTERM), 0);
    const std::optional<int> status = game_.waitForExit(seconds(20));
    ASSERT_TRUE(status.has_value()) << "the game did not end within 20 s of SIGTERM";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0)
        << "the game ended with " << describeStatus(*status) << "\n"
        << gameOutput();
    EXPECT_NE(readFile(settingsFile).find("Difficulty=1\r\nSize=6\r\nMines=21\r\n"),
              std::string::npos)
        << readFile(settingsFile);
}

// The X server ends under the game (a logout that ends the session's server,
// say): Qt ends the program through exit(), and the level chosen in this run
// is in the file all the same.
TEST_F(GameWindowTest, ALostDisplayStillWritesTheSettings) {
    std::string error = startGameInItsOwnServer();
    ASSERT_TRUE(error.empty()) << error;
    error = chooseAdvancedLevel();
    ASSERT_TRUE(error.empty()) << error;

    wm_.stop();
    xvfb_.stop();
    const std::optional<int> status = game_.waitForExit(seconds(20));
    ASSERT_TRUE(status.has_value()) << "the game did not end within 20 s of losing its display";
    EXPECT_NE(readFile(settingsFile()).find("Difficulty=1\r\nSize=6\r\nMines=21\r\n"),
              std::string::npos)
        << readFile(settingsFile()) << "\n"
        << describeStatus(*status) << "\n"
        << gameOutput();
}

TEST_F(GameWindowTest, AScreenReaderFollowsALossAndStartsANewGameOverAtSpi) {
    // A best time of 0 s, so that a lucky win asks for no record holder's name.
    fs::create_directories(home_ / ".config");
    std::ofstream(home_ / ".config" / "winmine.ini") << "[Quorvel]\r\nTime1=0\r\n";
    std::string error = startGameInItsOwnServer(true);
    ASSERT_TRUE(error.empty()) << error;
    const auto expectNames = [](const AccessibleTree& tree, const std::string& counter,
                                const std::string& clock) {
        EXPECT_EQ(nth(tree, "ROLE_CANVAS").name, "Hrací pole");
        EXPECT_EQ(nth(tree, "ROLE_LABEL", 0).name, counter);
        EXPECT_EQ(nth(tree, "ROLE_LABEL", 1).name, clock);
        EXPECT_EQ(nth(tree, "ROLE_PUSH_BUTTON").name, "Nová hra");
        EXPECT_EQ(nth(tree, "ROLE_PUSH_BUTTON").actions, "Press");
    };

    // --- Start: the panel's texts carry their values; the notice of a game's end
    // is hidden.
    const std::string counter = "Miny: " + std::to_string(kBeginnerMines);
    const std::string ready = "Nová hra, zbývá min: " + std::to_string(kBeginnerMines);
    const AccessibleTree start = readAccessibleWhen({"Nová hra"}, seconds(20), error);
    ASSERT_TRUE(error.empty()) << error;
    expectNames(start, counter, "Čas: 0 s");
    EXPECT_EQ(nth(start, "ROLE_CANVAS").description, ready);
    EXPECT_EQ(nth(start, "ROLE_PUSH_BUTTON").description, "Usměvavý obličej");
    EXPECT_FALSE(nth(start, "ROLE_NOTIFICATION").showing);

    // --- A loss: every cell clicked in one go. The first opening is never a mine,
    // so the game ends at the first mine clicked, or now and then in a win, after
    // which the face button starts the next try.
    const QImage shot = screenshot(error);
    ASSERT_FALSE(shot.isNull()) << error;
    std::vector<std::string> clicks;
    core::forEachCell(kSide, [&](core::CellPos cell) {
        const QPoint point = cellPoint(cell, shot.height() - kClientH);
        clicks.insert(clicks.end(), {"mousemove", "--window", window_, std::to_string(point.x()),
                                     std::to_string(point.y()), "click", "1"});
    });
    AccessibleTree lost;
    for (int tries = 0; tries < 5; ++tries) {
        error = xdotool(clicks);
        ASSERT_TRUE(error.empty()) << error;
        lost = readAccessibleWhen({"Prohra", "Výhra"}, seconds(10), error);
        ASSERT_TRUE(error.empty()) << error;
        if (!nth(lost, "ROLE_CANVAS").description.starts_with("Výhra")) {
            break;
        }
        const CommandResult press = atspi({"press"});
        ASSERT_TRUE(press.ok()) << press.describe();
        readAccessibleWhen({"Nová hra"}, seconds(10), error);
        ASSERT_TRUE(error.empty()) << error;
    }
    const std::string clock = nth(lost, "ROLE_LABEL", 1).name;
    const int time = numberIn(clock);
    const std::string lostText = "Prohra, čas: " + std::to_string(time) + " s";
    ASSERT_EQ(nth(lost, "ROLE_CANVAS").description, lostText);
    expectNames(lost, counter, "Čas: " + std::to_string(time) + " s");
    EXPECT_EQ(nth(lost, "ROLE_PUSH_BUTTON").description, "Obličej po prohře");
    EXPECT_TRUE(nth(lost, "ROLE_NOTIFICATION").showing);
    EXPECT_EQ(nth(lost, "ROLE_NOTIFICATION").name, lostText);
    // The names say what the panel shows.
    const std::vector<int> clockDigits{time / 100, time / 10 % 10, time % 10};
    const auto panelShowsNames = [&](const QImage& client) {
        return compareDigits(client, kClockPlaceX, kPlaceY, clockDigits).empty() &&
               compareDigits(client, kCounterPlaceX, kPlaceY, {0, kBeginnerMines}).empty();
    };
    const QImage lostShot = screenshotWhen(panelShowsNames, seconds(5), error);
    ASSERT_FALSE(lostShot.isNull()) << error;
    EXPECT_TRUE(panelShowsNames(clientArea(lostShot))) << "the panel does not show " << clock;

    // --- The face button's Press action, done over the bus, starts a new game.
    const CommandResult press = atspi({"press"});
    ASSERT_TRUE(press.ok()) << press.describe();
    const AccessibleTree renewed = readAccessibleWhen({"Nová hra"}, seconds(10), error);
    ASSERT_TRUE(error.empty()) << error;
    EXPECT_EQ(nth(renewed, "ROLE_CANVAS").description, ready);
    expectNames(renewed, counter, "Čas: 0 s");
    EXPECT_EQ(nth(renewed, "ROLE_PUSH_BUTTON").description, "Usměvavý obličej");
    EXPECT_FALSE(nth(renewed, "ROLE_NOTIFICATION").showing);
}

}  // namespace
}  // namespace quorvel::e2e
