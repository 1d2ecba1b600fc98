// The window tests need one application object for the whole run.

#include <gtest/gtest.h>

#include <QApplication>

#include "shell/application.h"

int main(int argc, char** argv) {
    // As the program itself does before its application object.
    quorvel::shell::prepareApplication();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
