#include "shell/accessibility.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QHash>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <array>

#include "shell/surfaces.h"

namespace quorvel::shell {

QString gameDescription(core::GameState state, std::optional<int> minesLeft, int seconds) {
    using core::GameState;
    const QString mines = QString::number(minesLeft.value_or(0));
    switch (state) {
        case GameState::NotStarted:
            return {};
        case GameState::Ready:
            return QStringLiteral("Nová hra, zbývá min: %1").arg(mines);
        case GameState::Running:
            return QStringLiteral("Hra běží, zbývá min: %1, čas: %2 s").arg(mines).arg(seconds);
        case GameState::Lost:
            return QStringLiteral("Prohra, čas: %1 s").arg(seconds);
        case GameState::Won:
            return QStringLiteral("Výhra za %1 s").arg(seconds);
    }
    return {};
}

QString counterName(std::optional<int> minesLeft) {
    return minesLeft ? QStringLiteral("Miny: %1").arg(*minesLeft) : QStringLiteral("Miny");
}

QString clockName(int seconds) {
    return QStringLiteral("Čas: %1 s").arg(seconds);
}

QString faceDescription(core::Face face) {
    switch (face) {
        case core::Face::Normal:
            return QStringLiteral("Usměvavý obličej");
        case core::Face::Pressed:
            return QStringLiteral("Stisknuté tlačítko");
        case core::Face::Surprised:
            return QStringLiteral("Udivený obličej");
        case core::Face::Dead:
            return QStringLiteral("Obličej po prohře");
        case core::Face::Winner:
            return QStringLiteral("Obličej po výhře");
    }
    return {};
}

namespace {

// The panel's children in reading order: counter, face button, clock, notice.
enum class PanelPart { Counter = 0, FaceButton = 1, Clock = 2, Notice = 3 };
constexpr int kPanelChildren = 4;

QHash<const QWidget*, const GameAccessibility*>& games() {
    static QHash<const QWidget*, const GameAccessibility*> byPanel;
    return byPanel;
}

QRect globalRect(const QWidget& widget, const QRect& local) {
    return {widget.mapToGlobal(local.topLeft()), local.size()};
}

// A text of the panel that is painted, not a widget: the counter, the clock, and
// the notice of a game's end, which "shows" when a game ends so that a reader
// speaks it without the keyboard focus moving.
class PanelTextAccessible : public QAccessibleInterface {
  public:
    PanelTextAccessible(Panel* panel, PanelPart part) : panel_(panel), part_(part) {}

    bool isValid() const override { return panel_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return panel_ ? panel_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(panel_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

    QString text(QAccessible::Text t) const override {
        const GameAccessibility* game = GameAccessibility::ofPanel(panel_);
        if (t != QAccessible::Name || game == nullptr) {
            return {};
        }
        switch (part_) {
            case PanelPart::Counter:
                return game->counterText();
            case PanelPart::Clock:
                return game->clockText();
            default:
                return game->noticeText();
        }
    }

    QRect rect() const override {
        if (!panel_) {
            return {};
        }
        switch (part_) {
            case PanelPart::Counter:
                return globalRect(*panel_, panel_->placeRect(shell::PanelPlace::CounterTens) |
                                               panel_->placeRect(shell::PanelPlace::CounterOnes));
            case PanelPart::Clock:
                return globalRect(*panel_, panel_->placeRect(shell::PanelPlace::ClockHundreds) |
                                               panel_->placeRect(shell::PanelPlace::ClockOnes));
            default:
                return globalRect(*panel_, panel_->rect());
        }
    }

    // Static text, not a clock and not a value: Qt 6.4 shows the clock role as
    // "unknown" and a value as a spin box's Increase/Decrease actions.
    QAccessible::Role role() const override {
        return part_ == PanelPart::Notice ? QAccessible::Notification : QAccessible::StaticText;
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        s.readOnly = true;
        s.invisible = part_ == PanelPart::Notice && text(QAccessible::Name).isEmpty();
        return s;
    }

  private:
    QPointer<Panel> panel_;
    PanelPart part_;
};

class PanelAccessible : public QAccessibleWidget {
  public:
    explicit PanelAccessible(Panel* panel) : QAccessibleWidget(panel, QAccessible::Grouping) {}
    ~PanelAccessible() override {
        for (const QAccessible::Id id : texts_) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
    }

    int childCount() const override { return kPanelChildren; }

    QAccessibleInterface* child(int index) const override {
        if (index == static_cast<int>(PanelPart::FaceButton)) {
            return QAccessibleWidget::child(0);
        }
        if (index < 0 || index >= kPanelChildren) {
            return nullptr;
        }
        QAccessible::Id& id = texts_.at(static_cast<std::size_t>(index));
        if (id == 0) {
            id = QAccessible::registerAccessibleInterface(
                new PanelTextAccessible(static_cast<Panel*>(widget()), PanelPart{index}));
        }
        return QAccessible::accessibleInterface(id);
    }

    int indexOfChild(const QAccessibleInterface* iface) const override {
        for (int i = 0; i < kPanelChildren; ++i) {
            if (child(i) == iface) {
                return i;
            }
        }
        return -1;
    }

    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < static_cast<int>(PanelPart::Notice); ++i) {
            QAccessibleInterface* part = child(i);
            if (part != nullptr && part->rect().contains(x, y)) {
                return part;
            }
        }
        return nullptr;
    }

  private:
    // The ids of the text children, made on first use and owned by Qt's cache.
    mutable std::array<QAccessible::Id, kPanelChildren> texts_{};
};

// The board and the face button. The face button is a push button whose Press
// action is a click on it, the same move of the game as the mouse's.
class SurfaceAccessible : public QAccessibleWidget {
  public:
    explicit SurfaceAccessible(PictureSurface* surface)
        : QAccessibleWidget(
              surface, isFaceButton(surface) ? QAccessible::PushButton : QAccessible::Canvas) {}

    QStringList actionNames() const override {
        if (role() == QAccessible::PushButton) {
            return {pressAction()};
        }
        return QAccessibleWidget::actionNames();
    }

    void doAction(const QString& name) override {
        if (role() != QAccessible::PushButton || name != pressAction()) {
            QAccessibleWidget::doAction(name);
            return;
        }
        QWidget* button = widget();
        const QPointF centre(button->width() / 2.0, button->height() / 2.0);
        const QPointF global = button->mapToGlobal(centre);
        QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(button, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &release);
    }

  private:
    static bool isFaceButton(const QWidget* surface) {
        return qobject_cast<const Panel*>(surface->parentWidget()) != nullptr;
    }
};

QAccessibleInterface* accessibleFor(const QString&, QObject* object) {
    if (auto* panel = qobject_cast<Panel*>(object)) {
        return new PanelAccessible(panel);
    }
    if (auto* surface = qobject_cast<PictureSurface*>(object)) {
        return new SurfaceAccessible(surface);
    }
    return nullptr;
}

AccessibleEventSink eventSink = &QAccessible::updateAccessibility;

void sendPanelEvent(Panel& panel, PanelPart part, QAccessible::Event type) {
    QAccessibleEvent event(&panel, type);
    event.setChild(static_cast<int>(part));
    eventSink(&event);
}

}  // namespace

void setAccessibleEventSink(AccessibleEventSink sink) {
    eventSink = sink != nullptr ? sink : &QAccessible::updateAccessibility;
}

void installAccessibility() {
    QAccessible::installFactory(accessibleFor);
}

GameAccessibility::GameAccessibility(const core::Game& game, Panel& panel,
                                     PictureSurface& faceButton, PictureSurface& board)
    : game_(game), panel_(panel), faceButton_(faceButton), board_(board) {
    games().insert(&panel_, this);
    board_.setAccessibleName(QString::fromUtf16(kBoardName));
    faceButton_.setAccessibleName(QString::fromUtf16(kFaceButtonName));
}

GameAccessibility::~GameAccessibility() {
    games().remove(&panel_);
}

const GameAccessibility* GameAccessibility::ofPanel(const QWidget* panel) {
    return games().value(panel, nullptr);
}

QString GameAccessibility::noticeText() const {
    const core::GameState state = game_.state();
    if (state != core::GameState::Won && state != core::GameState::Lost) {
        return {};
    }
    return gameDescription(state, game_.counter(), game_.seconds());
}

GameAccessibility::Told GameAccessibility::current() const {
    return {gameDescription(game_.state(), game_.counter(), game_.seconds()),
            faceDescription(game_.shownFace()), counterText(), clockText(), noticeText()};
}

void GameAccessibility::tell() {
    const Told now = current();
    // QWidget sends the description's change event itself.
    if (now.board != told_.board) {
        board_.setAccessibleDescription(now.board);
    }
    if (now.face != told_.face) {
        faceButton_.setAccessibleDescription(now.face);
    }
    if (now.counter != told_.counter) {
        sendPanelEvent(panel_, PanelPart::Counter, QAccessible::NameChanged);
    }
    if (now.clock != told_.clock) {
        sendPanelEvent(panel_, PanelPart::Clock, QAccessible::NameChanged);
    }
    if (now.notice != told_.notice) {
        sendPanelEvent(panel_, PanelPart::Notice,
                       now.notice.isEmpty() ? QAccessible::ObjectHide : QAccessible::ObjectShow);
    }
    told_ = now;
}

}  // namespace quorvel::shell
