#pragma once
// Files read and written whole, as bytes, and child processes, for the tests of
// the settings file.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace quorvel::support {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Writes the bytes as the whole file; a failed expectation and false when it cannot.
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    EXPECT_TRUE(written) << "cannot write " << path.toStdString();
    return written;
}

// Runs body in a child process; its exit code, or 100 + the signal that ended it.
template <typename Body>
int inChild(Body body) {
    const pid_t child = fork();
    if (child == 0) {
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

}  // namespace quorvel::support
