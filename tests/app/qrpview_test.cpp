// The real qrpview program on the offscreen platform.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <thread>

namespace qrp {
namespace {

// A settings folder of the tests' own, removed when the tests end.
const std::string& ScratchConfigFolder()
{
    struct TFolder {
        std::string Path;
        TFolder()
        {
            std::string pattern = (std::filesystem::temp_directory_path() / "qrpview-config-XXXXXX").string();
            Path = ::mkdtemp(pattern.data()) ? pattern : std::string();
        }
        ~TFolder()
        {
            if (!Path.empty())
                std::filesystem::remove_all(Path);
        }
    };
    static const TFolder folder;
    return folder.Path;
}

// Starts qrpview (on a report file when one is given), waits, asks it to
// quit, and returns its exit status.
int RunAndQuit(int signal, const char* file = nullptr)
{
    const std::string& config = ScratchConfigFolder();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // The viewer remembers the folder of the file it opened: not in the user's settings.
        ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
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

struct Answer {
    int Status = -1;  // the exit code; -1 when qrpview did not end by itself within 5 seconds
    std::string Out;
    std::string Err;
};

std::string ReadAll(int descriptor)
{
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(descriptor, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(got));
    ::close(descriptor);
    return text;
}

// Runs qrpview with one argument and no display at all: a window or even an
// application object would end it with Qt's "could not connect to display".
Answer RunWithoutDisplay(const char* argument)
{
    int out[2];
    int err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0)
        return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::close(out[0]);
        ::close(err[0]);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        ::execl(QRPVIEW_PATH, QRPVIEW_PATH, argument, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    Answer answer;
    int status = 0;
    for (int waited = 0; waited < 50 && ::waitpid(child, &status, WNOHANG) != child; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (waited == 49) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            status = -1;
        }
    }
    answer.Out = ReadAll(out[0]);
    answer.Err = ReadAll(err[0]);
    answer.Status = status >= 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return answer;
}

std::string ProjectVersion()
{
    std::ifstream file(QRP_SOURCE_DIR "/CMakeLists.txt");
    const std::string text((std::istreambuf_iterator<char>(file)), {});
    std::smatch match;
    return std::regex_search(text, match, std::regex(R"(project\([^)]*VERSION\s+([0-9][0-9.]*))")) ? match[1].str()
                                                                                                   : std::string();
}

TEST(Qrpview, HelpShowsTheUsageWithoutAWindow)
{
    for (const char* help : {"--help", "-h"}) {
        const Answer answer = RunWithoutDisplay(help);
        EXPECT_EQ(answer.Status, 0) << help << ": " << answer.Err;
        EXPECT_EQ(answer.Out.rfind("usage: qrpview [FILE.qrp]\n", 0), 0u) << answer.Out;
        EXPECT_NE(answer.Out.find("report"), std::string::npos) << answer.Out;
        EXPECT_EQ(answer.Err, "");
    }
}

TEST(Qrpview, VersionIsTheProjectsVersion)
{
    ASSERT_NE(ProjectVersion(), "");
    const Answer answer = RunWithoutDisplay("--version");
    EXPECT_EQ(answer.Status, 0) << answer.Err;
    EXPECT_EQ(answer.Out, "qrpview " + ProjectVersion() + "\n");
    EXPECT_EQ(answer.Err, "");
}

}  // namespace
}  // namespace qrp
