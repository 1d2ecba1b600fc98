#include <QApplication>

#include "shell/application.h"

int main(int argc, char* argv[]) {
    quorvel::shell::prepareApplication();
    quorvel::shell::fenceIn();
    int code = 0;
    {
        QApplication app(argc, argv);
        code = quorvel::shell::run(app);
    }
    quorvel::shell::leave(code);
}
