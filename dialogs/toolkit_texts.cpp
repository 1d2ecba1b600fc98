#include "dialogs/toolkit_texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace quorvel::dialogs {

namespace {
QPointer<QTranslator>& installed() {
    static QPointer<QTranslator> translator;
    return translator;
}
}  // namespace

QTranslator* useToolkitTexts() {
    QPointer<QTranslator>& translator = installed();
    if (translator != nullptr) {
        return translator;
    }
    auto* loaded = new QTranslator(QCoreApplication::instance());
    if (!loaded->load(QStringLiteral("qtbase_cs"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        !QCoreApplication::installTranslator(loaded)) {
        delete loaded;
        return nullptr;
    }
    translator = loaded;
    return loaded;
}

QTranslator* loadedToolkitTexts() {
    return installed();
}

}  // namespace quorvel::dialogs
