#include <QApplication>

#include "shell/application.h"

int main(int argc, char* argv[]) {
    quorvel::shell::prepareApplication();
    quorvel::shell::fenceIn();
    QApplication app(argc, argv);
    return quorvel::shell::run(app);
}
