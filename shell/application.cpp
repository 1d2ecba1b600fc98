#include "shell/application.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>

#include "core/random_source.h"
#include "render/face_pictures.h"
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

QIcon windowIcon() {
    QIcon icon;
    for (int size : {16, 32}) {
        const render::Picture& pic = render::iconPicture(size);
        const QImage image(reinterpret_cast<const uchar*>(pic.data()), pic.width(), pic.height(),
                           pic.bytesPerLine(), QImage::Format_RGB32);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

int run(QApplication& app) {
    QGuiApplication::setDesktopFileName(QStringLiteral(QUORVEL_APP_ID));
    QApplication::setWindowIcon(windowIcon());
    app.setQuitOnLastWindowClosed(false);

    core::SystemRandom random;
    FileRecords records{settings::SettingsFile(settings::SettingsFile::defaultPath())};
    MainWindow window(random, &records);
    window.DetectK();
    window.show();
    return QApplication::exec();
}

}  // namespace quorvel::shell
