#pragma once
// A folder of its own for each test of the settings file: the path of a name in
// it, a SettingsFile there whose reports the test keeps, and what the folder
// holds; and, for the tests of other users' files, a folder that they share.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
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

// Other users: a folder's owner and a stranger (neither that owner nor the
// player), and `shared` in the test's folder, kFolderOwner's, which everyone
// may write, with the sticky bit (as /tmp). Skipped where the process may not
// give files to other users.
class OtherUsersFolderTest : public SettingsFolderTest {
  protected:
    static constexpr uid_t kFolderOwner = 4444;
    static constexpr uid_t kStranger = 6666;
    void SetUp() override {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root to give files to other users";
        }
        const QByteArray shared = QFile::encodeName(path("shared"));
        ASSERT_TRUE(QDir(dir_.path()).mkdir("shared"));
        ASSERT_EQ(::chown(shared.constData(), kFolderOwner, kFolderOwner), 0);
        ASSERT_EQ(::chmod(shared.constData(), 01777), 0);
    }
    const QString inShared_ = path("shared/winmine.ini");
};

}  // namespace quorvel::support
