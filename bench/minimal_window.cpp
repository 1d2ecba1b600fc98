// The smallest window that looks like the game from the outside: the same caption,
// window flags and menu tree, and a plain central widget of the beginner client
// area's size. bench/startup starts it next to the game to see what the game's own
// start-up (settings, pictures, layout) adds to a bare Qt main window.

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QWidget>

namespace {

void buildMenus(QMainWindow& window) {
    QMenu* game = window.menuBar()->addMenu(QStringLiteral("&Hra"));
    QAction* newGame = game->addAction(QStringLiteral("&Nová"));
    newGame->setShortcut(QKeySequence(Qt::Key_F2));
    game->addSeparator();
    for (const QString& caption : {QStringLiteral("&Začátečník"), QStringLiteral("&Pokročilý"),
                                   QStringLiteral("&Expert"), QStringLiteral("&Vlastní pole...")}) {
        game->addAction(caption)->setCheckable(true);
    }
    game->addSeparator();
    QMenu* skin = game->addMenu(QStringLiteral("&Tvář"));
    for (const QString& caption : {QStringLiteral("Běloch (žlutý běloch)"),
                                   QStringLiteral("Černoch"), QStringLiteral("Ufon")}) {
        skin->addAction(caption)->setCheckable(true);
    }
    game->addSeparator();
    game->addAction(QStringLiteral("Nejlepší ča&sy..."));
    game->addSeparator();
    QAction* quit = game->addAction(QStringLiteral("&Konec"));
    QObject::connect(quit, &QAction::triggered, &window, &QMainWindow::close);

    QMenu* help = window.menuBar()->addMenu(QStringLiteral("Nápo&věda"));
    help->addAction(QStringLiteral("&O hře Quorvel"));
}

}  // namespace

int main(int argc, char* argv[]) {
    // The same rounding of scale factors as the game, so that both windows come out
    // the same size on any screen.
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR_ROUNDING_POLICY")) {
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
            Qt::HighDpiScaleFactorRoundingPolicy::Round);
    }
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quorvel"));
    window.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint);
    auto* client = new QWidget(&window);
    client->setFixedSize(150, 179);
    window.setCentralWidget(client);
    window.layout()->setSizeConstraint(QLayout::SetFixedSize);
    buildMenus(window);

    window.show();
    return QApplication::exec();
}
