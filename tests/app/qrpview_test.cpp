// The real qrpview program on the offscreen platform.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace qrp {
namespace {

// Starts qrpview (on a report file when one is given), waits, asks it to
// quit, and returns its exit status.
int RunAndQuit(int signal, const char* file = nullptr)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::execl(QRPVIEW_PATH, QRPVIEW_PATH, file, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    ::kill(child, signal);
    int status = 0;
    for (int waited = 0; waited < 100; ++waited) {
        if (::waitpid(child, &status, WNOHANG) == child)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return -1;
}

TEST(Qrpview, QuitRequestsEndTheProgramWithExitCode0)
{
    EXPECT_EQ(RunAndQuit(SIGTERM, QRP_SOURCE_DIR "/examples/sample.qrp"), 0);
    EXPECT_EQ(RunAndQuit(SIGINT, QRP_SOURCE_DIR "/examples/sample.qrp"), 0);
}

}  // namespace
}  // namespace qrp
