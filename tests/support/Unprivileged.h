#pragma once
// Runs part of a test as a user who may not write where the test's own user may, so that folders
// and files without write permission fail as they do for a user even where the tests run as root.

#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace unprivileged {
constexpr uid_t kNobody = 65534;
constexpr gid_t kNoGroup = 65534;

inline bool asRoot()
{
    return ::geteuid() == 0;
}

// Gives `path` to the user that `run` runs as (a no-op when not root).
inline void handOver(const QString &path)
{
    if (asRoot()) {
        EXPECT_EQ(::chown(QFile::encodeName(path).constData(), kNobody, kNoGroup), 0);
    }
}

// Runs `body` as this user when not root, else in a child process as nobody; its failures count as
// the test's.
inline void run(const std::function<void()> &body)
{
    if (!asRoot()) {
        body();
        return;
    }
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        bool dropped = ::setgroups(0, nullptr) == 0 && ::setgid(kNoGroup) == 0 && ::setuid(kNobody) == 0;
        if (dropped)
            body();
        ::_exit(!dropped ? 3 : ::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the unprivileged part died";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the unprivileged part failed (its messages are above)";
}
} // namespace unprivileged
