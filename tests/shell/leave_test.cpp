// How the program ends once its window and application object are gone: what
// it still had to say reaches its streams, its exit code is the event loop's,
// and exit()'s handlers (the libraries' static teardown) are not run.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "shell/application.h"

namespace quorvel::shell {
namespace {

void sayTornDown() {
    std::fputs("torn down", stdout);
}

TEST(Leave, FlushesTheStreamsAndEndsWithTheCodeWithoutExitHandlers) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        close(pipeEnds[0]);
        dup2(pipeEnds[1], STDOUT_FILENO);
        // A pipe makes standard output fully buffered: nothing below reaches
        // it without a flush.
        std::setvbuf(stdout, nullptr, _IOFBF, 4096);
        std::atexit(sayTornDown);
        std::fputs("last report", stdout);
        leave(3);
    }
    close(pipeEnds[1]);
    std::string said;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) {
        said.append(buffer, static_cast<std::size_t>(n));
    }
    close(pipeEnds[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(said, "last report");
}

}  // namespace
}  // namespace quorvel::shell
