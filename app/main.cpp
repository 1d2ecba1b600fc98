#include <QApplication>

#include "shell/application.h"

int main(int argc, char* argv[]) {
    quorvel::shell::prepareApplication();
    QApplication app(argc, argv);
    return quorvel::shell::run(app);
}
