// The window's behaviour held byte for byte: thousands of sessions of real Qt
// events (mouse on the board and the face button, keys, clock ticks, menus,
// minimising, records, the custom board), each folded after every event into one
// digest of what the player sees, every cell drawn in the order drawn, and what
// the settings writes contain. The digests were recorded from the program as it
// was before a redesign; a redesign that keeps the behaviour gives the same
// digests. Each session also keeps one byte of its digest after every event, so
// that a session that differs names the event after which it parted.
//
// Run with `--record FILE` to write the digests of the program as it is now.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "core/geometry.h"
#include "core/random_source.h"
#include "dialogs/best_times_dialog.h"
#include "dialogs/game_dialogs.h"
#include "render/picture.h"
#include "settings/ini_format.h"
#include "settings/settings_store.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/surfaces.h"
#include "shell/window_texts.h"
#include "tests/support/cells.h"
#include "tests/support/window_access.h"

namespace quorvel::golden {
namespace {

using shell::WindowAccess;

// A 64-bit running digest, eight bytes at a time.
class Digest {
  public:
    void add(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        std::size_t i = 0;
        for (; i + 8 <= size; i += 8) {
            std::uint64_t word;
            std::memcpy(&word, bytes + i, 8);
            mix(word);
        }
        std::uint64_t tail = size;
        for (; i < size; ++i) {
            tail = (tail << 8) | bytes[i];
        }
        mix(tail);
    }
    void add(std::int64_t value) { mix(static_cast<std::uint64_t>(value)); }
    void add(const QByteArray& bytes) {
        add(bytes.size());
        add(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    std::uint64_t value() const { return h_; }

  private:
    void mix(std::uint64_t word) {
        h_ = (h_ ^ word) * 0x100000001b3ULL;
        h_ ^= h_ >> 29;
        h_ *= 0xbf58476d1ce4e5b9ULL;
        h_ ^= h_ >> 32;
    }
    std::uint64_t h_ = 0xcbf29ce484222325ULL;
};

// The bytes a session is made of; past the end every byte reads 0.
class Bytes {
  public:
    explicit Bytes(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
    int next() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    int next(int below) { return next() % below; }
    bool done() const { return at_ >= bytes_.size(); }

  private:
    std::vector<unsigned char> bytes_;
    std::size_t at_ = 0;
};

// Mine placement from a seed: every placement of a session gets its own stream.
class SeededRandom : public core::RandomSource {
  public:
    explicit SeededRandom(std::uint64_t seed) : seed_(seed) {}
    void reseed() override { state_ = seed_ + 0x9E3779B97F4A7C15ULL * ++reseeds_; }
    double uniform() override {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1.0p-53;
    }

  private:
    std::uint64_t seed_;
    std::uint64_t state_ = 0;
    std::uint64_t reseeds_ = 0;
};

// What the recorded sessions reached, printed when recording.
struct Reached {
    int losses = 0;
    int wins = 0;
    int records = 0;
    int writes = 0;
    int customBoards = 0;
} reached;

// The settings store and the dialogs as the player sees them: every write's
// content, every dialog shown with what it shows, folded into the digest at the
// moment it happens. Records are entered as the real dialogs would store them.
class Witness : public settings::SettingsStore, public dialogs::GameDialogs {
  public:
    Witness(Digest& digest, settings::StoredSettings stored)
        : digest_(digest), stored_(std::move(stored)) {}

    std::optional<std::pair<int, int>> customAnswer;

    settings::StoredSettings read(QPointF) override { return stored_; }
    settings::BestTimes write(const settings::StoredSettings& settings) override {
        ++reached.writes;
        digest_.add(0x57);
        digest_.add(settings::writeSettings({}, settings));
        digest_.add(qRound(settings.position.x() * 16));
        digest_.add(qRound(settings.position.y() * 16));
        return settings.bestTimes;
    }
    settings::BestTimes bestTimesNow(const settings::BestTimes& mine) override { return mine; }

    void setDialogParent(QWidget*) override {}
    void prepareNameEntry(const QString&) override {}
    // A record is folded in as one entry, its table after the name: the name
    // entry notes the level, the table that follows shows the record.
    QString askName(core::Level level) override {
        named_ = level;
        return QStringLiteral("Hráč %1").arg(++names_);
    }
    void showBestTimes(settings::BestTimes& table, const std::function<void()>&) override {
        if (const auto level = std::exchange(named_, std::nullopt)) {
            ++reached.records;
            digest_.add(0x52);
            digest_.add(static_cast<int>(*level));  // the prompt's level
            digest_.add(static_cast<int>(*level));
            digest_.add(static_cast<int>(table.best(*level)));
        } else {
            digest_.add(0x42);
        }
        addTable(table);
    }
    void askCustomBoard(int side, int mines,
                        const std::function<void(int, int)>& confirm) override {
        ++reached.customBoards;
        digest_.add(0x43);
        digest_.add(side);
        digest_.add(mines);
        if (customAnswer) {
            confirm(customAnswer->first, customAnswer->second);
        }
    }

  private:
    void addTable(const settings::BestTimes& table) {
        for (int row = 0; row < 3; ++row) {
            digest_.add(dialogs::BestTimesDialog::shownTime(table.fileTime(row)).toUtf8());
            digest_.add(table.name(row).toUtf8());
        }
    }

    Digest& digest_;
    settings::StoredSettings stored_;
    std::optional<core::Level> named_;
    int names_ = 0;
};

settings::StoredSettings storedFrom(Bytes& in) {
    settings::StoredSettings stored;
    // What the file may hold, through the file's own reader, so that every kind of
    // start-up is met.
    static const char* const kDifficulty[] = {"0", "1", "2", "3", "-1", "7", "0.5", "2.5"};
    static const char* const kSize[] = {"4", "6", "8", "10", "5"};
    static const char* const kFace[] = {"0", "1", "2", "9"};
    QByteArray file = "[Quorvel]\r\n";
    file += QByteArray("Difficulty=") + kDifficulty[in.next(8)] + "\r\n";
    file += QByteArray("Size=") + kSize[in.next(5)] + "\r\n";
    file += "Mines=" + QByteArray::number(in.next(140)) + "\r\n";
    file += QByteArray("Face=") + kFace[in.next(4)] + "\r\n";
    for (int row = 1; row <= 3; ++row) {
        const int time = in.next(3) == 0 ? 2 + in.next(40) : 999;
        file += "Time" + QByteArray::number(row) + "=" + QByteArray::number(time) + "\r\n";
        file += "Name" + QByteArray::number(row) + "=Holder " + QByteArray::number(row) + "\r\n";
    }
    return settings::parseSettings(file).settings;
}

// The name of each kind of event that Session::step plays, for a report.
// clang-format off
constexpr const char* kKindNames[20] = {
    "click", "click", "click", "drag", "flag", "raw board event", "raw board event",
    "face button", "key", "clock ticks", "minimise or restore", "level item", "custom board",
    "face-set item", "new game or best times", "win", "flags", "quit at the end or not",
    "click", "click"};
// clang-format on

class Session {
  public:
    Session(Bytes bytes, std::uint64_t seed)
        : in_(std::move(bytes)),
          random_(seed),
          witness_(digest_, storedFrom(in_)),
          window_(random_, witness_, witness_) {
        WindowAccess::watchDrawing(window_, [this](core::CellPos cell, core::CellLook look,
                                                   int mines) {
            digest_.add(cell.c << 24 | cell.r << 16 | static_cast<int>(look) << 8 | (mines + 1));
        });
    }

    std::uint64_t run(int& events) {
        window_.show();
        window_.restoreSettings();
        see();
        mark("start-up");
        events = 0;
        while (!in_.done() && events < 400) {
            const int kind = in_.next(20);
            step(kind);
            see();
            mark(kKindNames[kind]);
            ++events;
        }
        if (quitAtEnd_) {
            window_.close();
            see();
            mark("quit at the end");
        }
        reached.losses += lost_;
        reached.wins += won_;
        return digest_.value();
    }

    // One byte of the digest after each event, start-up first, in hex.
    const std::string& trail() const { return trail_; }
    const char* kindOf(std::size_t event) const { return kinds_.at(event); }

  private:
    void mark(const char* kind) {
        static const char kHex[] = "0123456789abcdef";
        const std::uint64_t now = digest_.value();
        trail_ += kHex[(now >> 4) & 15];
        trail_ += kHex[now & 15];
        kinds_.push_back(kind);
    }

    int side() { return WindowAccess::game(window_).side(); }

    core::CellPos cell() {
        static const std::map<int, std::vector<core::CellPos>> kCells = [] {
            std::map<int, std::vector<core::CellPos>> all;
            for (int side : core::kSides) {
                all[side] = support::cellsOf(side);
            }
            return all;
        }();
        const auto& cells = kCells.at(side());
        const int i = (in_.next() * 256 + in_.next()) % static_cast<int>(cells.size());
        return cells[static_cast<std::size_t>(i)];
    }
    // A point of a cell: its anchor, or a few pixels around it.
    QPointF pointIn(core::CellPos at) {
        const double dx = in_.next(3) == 0 ? in_.next(11) - 5 : 0;
        const double dy = in_.next(3) == 0 ? in_.next(9) - 1 : 0;
        return {core::anchorX(at.c) + dx, core::cellY(at.r) + dy};
    }
    // Anywhere on the board surface or a little outside it, fractions included.
    QPointF anyPoint() {
        const double x = (in_.next() * 2 + in_.next(2)) - 20 + in_.next(4) * 0.25;
        const double y = (in_.next() * 2 + in_.next(2)) - 20 + in_.next(4) * 0.25;
        return {x, y};
    }
    static Qt::MouseButton buttonOf(int code) {
        switch (code) {
            case 0:
                return Qt::LeftButton;
            case 1:
                return Qt::RightButton;
            default:
                return Qt::MiddleButton;
        }
    }
    static Qt::MouseButtons buttonsOf(int bits) {
        Qt::MouseButtons held;
        held.setFlag(Qt::LeftButton, bits & 1);
        held.setFlag(Qt::RightButton, bits & 2);
        held.setFlag(Qt::MiddleButton, bits & 4);
        return held;
    }
    void mouse(QWidget* on, QEvent::Type type, QPointF at, Qt::MouseButton button,
               Qt::MouseButtons held) {
        QMouseEvent event(type, at, on->mapToGlobal(at), button, held, Qt::NoModifier);
        QApplication::sendEvent(on, &event);
    }
    void press(QWidget* on, QPointF at, Qt::MouseButton button) {
        held_ |= button;
        mouse(on, QEvent::MouseButtonPress, at, button, held_);
    }
    void move(QWidget* on, QPointF at) { mouse(on, QEvent::MouseMove, at, Qt::NoButton, held_); }
    void release(QWidget* on, QPointF at, Qt::MouseButton button) {
        held_ &= ~Qt::MouseButtons(button);
        mouse(on, QEvent::MouseButtonRelease, at, button, held_);
    }
    QWidget* field() { return WindowAccess::fieldSurface(window_); }

    void clickCell() {
        const QPointF at = pointIn(cell());
        press(field(), at, Qt::LeftButton);
        release(field(), in_.next(4) == 0 ? pointIn(cell()) : at, Qt::LeftButton);
    }
    void drag() {
        press(field(), pointIn(cell()), Qt::LeftButton);
        const int steps = in_.next(8);
        for (int i = 0; i < steps; ++i) {
            move(field(), in_.next(6) == 0 ? anyPoint() : pointIn(cell()));
            see();
        }
        switch (in_.next(4)) {
            case 0:
                QTest::keyClick(field(), Qt::Key_Escape);
                held_ = Qt::NoButton;
                break;
            case 1:
                QTest::keyClick(field(), Qt::Key_F2);
                see();
                release(field(), pointIn(cell()), Qt::LeftButton);
                break;
            case 2:
                press(field(), pointIn(cell()), Qt::RightButton);
                see();
                release(field(), anyPoint(), Qt::RightButton);
                see();
                release(field(), pointIn(cell()), Qt::LeftButton);
                break;
            default:
                release(field(), in_.next(3) == 0 ? anyPoint() : pointIn(cell()), Qt::LeftButton);
        }
    }
    void flagCells(int count) {
        for (int i = 0; i < count; ++i) {
            const QPointF at = pointIn(cell());
            press(field(), at, Qt::RightButton);
            release(field(), at, Qt::RightButton);
        }
    }
    void rawFieldEvent() {
        switch (in_.next(3)) {
            case 0:
                press(field(), anyPoint(), buttonOf(in_.next(3)));
                break;
            case 1:
                held_ = buttonsOf(in_.next(8));
                move(field(), anyPoint());
                break;
            default:
                release(field(), anyPoint(), buttonOf(in_.next(3)));
        }
    }
    void faceButton() {
        QWidget* face = WindowAccess::faceButton(window_);
        const auto at = [&] { return QPointF(in_.next(42) - 5, in_.next(36) - 5); };
        const Qt::MouseButton button = in_.next(4) == 0 ? Qt::RightButton : Qt::LeftButton;
        press(face, at(), button);
        see();
        if (in_.next(2) == 0) {
            move(face, at());
            see();
        }
        release(face, at(), button);
    }
    void key() {
        static const Qt::Key kKeys[] = {Qt::Key_F2, Qt::Key_Escape, Qt::Key_A, Qt::Key_Space};
        QTest::keyClick(field(), kKeys[in_.next(4)]);
        held_ = Qt::NoButton;
    }
    void ticks() {
        const int count = in_.next(8) == 0 ? 1000 : 1 + in_.next(30);
        for (int i = 0; i < count && WindowAccess::timer(window_).isActive(); ++i) {
            QMetaObject::invokeMethod(&WindowAccess::timer(window_), "timeout");
        }
    }
    void minimise() {
        if (window_.isMinimized()) {
            window_.showNormal();
        } else {
            window_.showMinimized();
        }
    }
    void custom() {
        if (in_.next(4) == 0) {
            witness_.customAnswer.reset();
        } else {
            const int side = core::kSides[static_cast<std::size_t>(in_.next(4))];
            witness_.customAnswer = {side, 1 + in_.next() % (core::cellCount(side) / 2)};
        }
        WindowAccess::levelAction(window_, core::Level::Custom)->trigger();
    }
    void win() {
        if (WindowAccess::game(window_).takesInput()) {
            support::playToWin(WindowAccess::game(window_), [&](int c, int r) {
                const QPointF at{static_cast<double>(core::anchorX(c)),
                                 static_cast<double>(core::cellY(r))};
                press(field(), at, Qt::LeftButton);
                release(field(), at, Qt::LeftButton);
            });
        }
    }

    void step(int kind) {
        switch (kind) {
            case 0:
            case 1:
            case 2:
                return clickCell();
            case 3:
                return drag();
            case 4:
                return flagCells(1);
            case 5:
            case 6:
                return rawFieldEvent();
            case 7:
                return faceButton();
            case 8:
                return key();
            case 9:
                return ticks();
            case 10:
                return minimise();
            case 11:
                return WindowAccess::levelAction(window_, static_cast<core::Level>(in_.next(3)))
                    ->trigger();
            case 12:
                return custom();
            case 13:
                return WindowAccess::faceAction(
                           window_, core::kFaceSets[static_cast<std::size_t>(in_.next(3))])
                    ->trigger();
            case 14:
                return in_.next(2) == 0 ? WindowAccess::newAction(window_)->trigger() : bestTimes();
            case 15:
                return win();
            case 16:
                return flagCells(in_.next(30));
            case 17:
                quitAtEnd_ = in_.next(2) == 0;
                return;
            default:
                return clickCell();
        }
    }
    void bestTimes() {
        for (QAction* action : window_.findChildren<QAction*>()) {
            if (action->text() == QString::fromUtf16(shell::texts::kBestTimes)) {
                action->trigger();
            }
        }
    }

    // What the player sees now.
    void see() {
        lost_ = lost_ || WindowAccess::game(window_).state() == core::GameState::Lost;
        won_ = won_ || WindowAccess::game(window_).state() == core::GameState::Won;
        seeBoard(WindowAccess::fieldPicture(window_));
        const render::Picture* face = WindowAccess::faceButton(window_)->picture();
        digest_.add(face == nullptr ? -1 : face->width());
        if (face != nullptr) {
            digest_.add(face->data(), static_cast<std::size_t>(face->bytesPerLine()) *
                                          static_cast<std::size_t>(face->height()));
        }
        for (int place = 0; place < 5; ++place) {
            digest_.add(WindowAccess::place(*WindowAccess::panel(window_),
                                            static_cast<shell::PanelPlace>(place))
                            .value_or(-1));
        }
        int marks = 0;
        for (int i = 0; i < 4; ++i) {
            marks = marks * 2 +
                    (WindowAccess::levelAction(window_, static_cast<core::Level>(i))->isChecked());
        }
        for (const core::FaceSet set : core::kFaceSets) {
            marks = marks * 2 + WindowAccess::faceAction(window_, set)->isChecked();
        }
        digest_.add(marks);
        digest_.add(WindowAccess::timer(window_).isActive());
        digest_.add(window_.isMinimized());
        const QRect geometry = WindowAccess::fieldSurface(window_)->geometry();
        digest_.add(geometry.width() * 10000 + geometry.height());
        digest_.add(WindowAccess::clientArea(window_)->width() * 10000 +
                    WindowAccess::clientArea(window_)->height());
        digest_.add(WindowAccess::faceButton(window_)->x());
    }

    // The board picture is folded in as the rows that changed since the last
    // look (all of them after a new layout): the same sequence of pictures gives
    // the same digest, at a fraction of the cost of hashing every pixel each time.
    void seeBoard(const render::Picture& board) {
        const int w = board.width();
        const int h = board.height();
        const std::size_t row = static_cast<std::size_t>(w);
        const std::uint32_t* now = board.data();
        if (w != lastWidth_ || h != lastHeight_) {
            lastWidth_ = w;
            lastHeight_ = h;
            last_.assign(now, now + row * static_cast<std::size_t>(h));
            digest_.add(0x4C);
            digest_.add(w);
            digest_.add(h);
            digest_.add(now, row * 4 * static_cast<std::size_t>(h));
            return;
        }
        const auto differs = [&](int y) {
            const std::size_t at = row * static_cast<std::size_t>(y);
            return std::memcmp(now + at, last_.data() + at, row * 4) != 0;
        };
        int first = 0;
        while (first < h && !differs(first)) {
            ++first;
        }
        digest_.add(first);
        if (first == h) {
            return;
        }
        int end = h;
        while (!differs(end - 1)) {
            --end;
        }
        digest_.add(end);
        const std::size_t from = row * static_cast<std::size_t>(first);
        const std::size_t count = row * static_cast<std::size_t>(end - first);
        digest_.add(now + from, count * 4);
        std::memcpy(last_.data() + from, now + from, count * 4);
    }

    Bytes in_;
    Digest digest_;
    std::vector<std::uint32_t> last_;
    int lastWidth_ = -1;
    int lastHeight_ = -1;
    SeededRandom random_;
    Witness witness_;
    shell::MainWindow window_;
    Qt::MouseButtons held_;
    bool quitAtEnd_ = false;
    bool lost_ = false;
    bool won_ = false;
    std::string trail_;
    std::vector<const char*> kinds_;
};

struct Recorded {
    std::string name;
    std::vector<unsigned char> bytes;
    std::uint64_t seed;
};

std::vector<unsigned char> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A session's seed from its name: adding a file to the corpus adds its session
// and leaves every other session as it was.
std::uint64_t seedOf(const std::string& name) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    for (const unsigned char c : name) {
        h = (h ^ c) * 0x100000001b3ULL;
    }
    return h;
}

// The game fuzzer's corpus, then seeded random sessions.
std::vector<Recorded> sessions() {
    std::vector<Recorded> all;
    std::vector<std::filesystem::path> corpus;
    for (const auto& entry : std::filesystem::directory_iterator(QUORVEL_GAME_CORPUS)) {
        corpus.push_back(entry.path());
    }
    std::sort(corpus.begin(), corpus.end());
    for (const auto& path : corpus) {
        const std::string name = path.filename().string();
        all.push_back({"corpus/" + name, fileBytes(path), seedOf(name)});
    }
    for (std::uint64_t seed = 1; seed <= 2000; ++seed) {
        std::mt19937_64 gen(seed);
        std::vector<unsigned char> bytes(64 + gen() % 700);
        for (auto& b : bytes) {
            b = static_cast<unsigned char>(gen());
        }
        all.push_back({"seed/" + std::to_string(seed), std::move(bytes), seed});
    }
    return all;
}

std::string hex(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
    return text;
}

// A session as played now: its digest and event count as recorded, the byte
// after each event, and each event's kind.
struct Played {
    std::string digest;
    std::string trail;
    std::vector<const char*> kinds;
};

std::map<std::string, Played> playAll() {
    std::map<std::string, Played> played;
    for (const Recorded& recorded : sessions()) {
        Session session(Bytes(recorded.bytes), recorded.seed);
        int events = 0;
        const std::uint64_t digest = session.run(events);
        std::vector<const char*> kinds;
        for (std::size_t event = 0; event < session.trail().size() / 2; ++event) {
            kinds.push_back(session.kindOf(event));
        }
        played[recorded.name] = {hex(digest) + " " + std::to_string(events), session.trail(),
                                 std::move(kinds)};
    }
    return played;
}

// The first event after which a session's bytes differ from the recorded ones:
// the events before it showed and stored what was recorded.
std::string whereParted(const Played& now, const std::string& recordedTrail) {
    std::size_t event = 0;
    while (event < now.kinds.size() && 2 * event + 2 <= recordedTrail.size() &&
           recordedTrail.compare(2 * event, 2, now.trail, 2 * event, 2) == 0) {
        ++event;
    }
    if (event == now.kinds.size()) {
        return "every event's byte agrees; the recording has " +
               std::to_string(recordedTrail.size() / 2) + " events with the start-up";
    }
    return "parts after event " + std::to_string(event) + " (" + now.kinds[event] + ")";
}

std::string recordTo;

TEST(WindowSessions, EverySessionShowsAndStoresWhatWasRecorded) {
    const std::map<std::string, Played> now = playAll();
    if (!recordTo.empty()) {
        std::ofstream out(recordTo);
        for (const auto& [name, played] : now) {
            out << name << ' ' << played.digest << ' ' << played.trail << '\n';
        }
        GTEST_SKIP() << "recorded " << now.size() << " sessions to " << recordTo << ": "
                     << reached.losses << " with a loss, " << reached.wins << " with a win, "
                     << reached.records << " records, " << reached.writes << " writes, "
                     << reached.customBoards << " custom dialogs";
    }
    std::map<std::string, std::pair<std::string, std::string>> recorded;
    std::ifstream in(QUORVEL_GOLDEN_DIGESTS);
    std::string name, digest, events, trail;
    while (in >> name >> digest >> events >> trail) {
        recorded[name] = {digest + " " + events, trail};
    }
    ASSERT_GE(recorded.size(), 2000u) << "no recorded digests at " << QUORVEL_GOLDEN_DIGESTS;
    int differing = 0;
    for (const auto& [session, expected] : recorded) {
        const auto found = now.find(session);
        if (found == now.end()) {
            ADD_FAILURE() << session << ": recorded, but no such session now";
            ++differing;
        } else if (found->second.digest != expected.first && ++differing <= 10) {
            ADD_FAILURE() << session << ": recorded " << expected.first << ", now "
                          << found->second.digest << "; "
                          << whereParted(found->second, expected.second);
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(now.size(), recorded.size());
}

}  // namespace
}  // namespace quorvel::golden

int main(int argc, char** argv) {
    quorvel::shell::prepareApplication();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--record") {
            quorvel::golden::recordTo = argv[i + 1];
        }
    }
    return RUN_ALL_TESTS();
}
