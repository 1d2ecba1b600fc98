#include <QApplication>
#include <utility>

#include "shell/application.h"

int main(int argc, char* argv[]) {
    quorvel::shell::prepareApplication();
    quorvel::shell::StartUp start = quorvel::shell::fenceIn();
    int code = 0;
    {
        QApplication app(argc, argv);
        code = quorvel::shell::run(app, std::move(start.settingsFile));
    }
    quorvel::shell::leave(code);
}
