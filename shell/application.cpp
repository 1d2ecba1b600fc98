#include "shell/application.h"

#include <QApplication>
#include <QGuiApplication>

#include "core/random_source.h"
#include "settings/settings_file.h"
#include "shell/file_records.h"
#include "shell/main_window.h"

namespace quorvel::shell {

void prepareApplication() {
    // At 1.5 a picture pixel would be 1 or 2 screen pixels wide at random; rounding
    // the factor keeps every picture pixel an even square.
    if (qEnvironmentVariableIsEmpty("QT_SCALE_FACTOR_ROUNDING_POLICY")) {
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
            Qt::HighDpiScaleFactorRoundingPolicy::Round);
    }
}

int run(QApplication& app) {
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    app.setQuitOnLastWindowClosed(false);

    core::SystemRandom random;
    FileRecords records{settings::SettingsFile(settings::SettingsFile::defaultPath())};
    MainWindow window(random, &records);
    window.DetectK();
    window.show();
    return QApplication::exec();
}

}  // namespace quorvel::shell
