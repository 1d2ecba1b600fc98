#pragma once
// A folder of its own for each test of the settings file: the path of a name in
// it, a SettingsFile there whose reports the test keeps, and what the folder
// holds.

#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "settings/ini_format.h"
#include "settings/settings_file.h"

namespace quorvel::support {

class SettingsFolderTest : public ::testing::Test {
  protected:
    QString path(const QString& name = QString::fromLatin1(settings::kFileName)) const {
        return dir_.filePath(name);
    }
    // The file at `file`, its reports kept in reports_.
    settings::SettingsFile reporting(const QString& file) {
        return settings::SettingsFile(file,
                                      [this](const QString& message) { reports_.append(message); });
    }
    // Every name in folder, hidden ones too.
    QStringList entries(const QString& folder) const {
        return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                      QDir::NoDotAndDotDot);
    }
    QTemporaryDir dir_;
    QStringList reports_;
};

}  // namespace quorvel::support
