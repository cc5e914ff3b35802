#include "tests/support/private_cups.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include <cups/cups.h>

#include "tests/support/commands.h"

namespace qrp::test {

namespace fs = std::filesystem;

namespace {
constexpr int kToolMissing = 77;
std::string Script() { return std::string(QRP_SOURCE_DIR) + "/scripts/private-cupsd.sh"; }
}  // namespace

// The administration commands live in sbin, which an ordinary user's PATH may leave out.
std::string AdminCommand(const std::string& command) { return "PATH=$PATH:/usr/sbin:/sbin " + command; }

namespace {
}  // namespace

void PrivateCupsTest::StartDaemon()
{
    const TCommandResult started = RunCommand("bash " + Script() + " start " + std::to_string(getpid()));
    if (started.Status == kToolMissing) {
        SkipReason = "CUPS is not installed (cupsd, lpadmin, lpstat)";
        return;
    }
    ASSERT_EQ(started.Status, 0) << "the private cupsd did not start";
    Socket = Trimmed(started.Output);
    setenv("CUPS_SERVER", Socket.c_str(), 1);
    unsetenv("PRINTER");
    unsetenv("LPDEST");
    // Printed files go inside the daemon's root, so they go with it.
    OutputDir = (fs::path(Socket).parent_path() / "output").string();
    fs::create_directory(OutputDir);
}

void PrivateCupsTest::StopDaemon()
{
    if (!Socket.empty())
        RunCommand("bash " + Script() + " stop " + Socket);
    Socket.clear();
    OutputDir.clear();
}

void PrivateCupsTest::SetUp()
{
    if (!SkipReason.empty())
        GTEST_SKIP() << SkipReason;
    ASSERT_FALSE(Socket.empty()) << "no private cupsd";
}

void PrivateCupsTest::AddPrinter(const std::string& name, const std::string& file, const std::string& model)
{
    const std::string uri = "file://" + OutputOf(file).string();
    ASSERT_EQ(RunCommand(AdminCommand("lpadmin -p ") + name + " -E -v " + uri + " -m " + model + " 2>&1").Status, 0) << name;
}

fs::path PrivateCupsTest::OutputOf(const std::string& file) { return fs::path(OutputDir) / file; }

bool PrivateCupsTest::AllJobsDone()
{
    for (int i = 0; i < 300; ++i) {
        if (Trimmed(RunCommand("lpstat -o").Output).empty())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::string PrivateCupsTest::ErrorLog()
{
    std::ifstream in(fs::path(Socket).parent_path() / "log" / "error_log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

int PrivateCupsTest::LastJobId()
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    int last = 0;
    for (int i = 0; i < count; ++i)
        last = std::max(last, jobs[i].id);
    cupsFreeJobs(count, jobs);
    return last;
}

std::string PrivateCupsTest::JobAttribute(int job, const char* attribute)
{
    ipp_t* request = ippNewRequest(IPP_OP_GET_JOB_ATTRIBUTES);
    const std::string uri = "ipp://localhost/jobs/" + std::to_string(job);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "job-uri", nullptr, uri.c_str());
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr, cupsUser());
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    std::string value;
    if (ipp_attribute_t* found = ippFindAttribute(response, attribute, IPP_TAG_ZERO)) {
        char text[256];
        ippAttributeString(found, text, sizeof text);
        value = text;
    }
    ippDelete(response);
    return value;
}

fs::path PrivateCupsTest::SpooledDocument(int job)
{
    char name[32];
    std::snprintf(name, sizeof name, "d%05d-001", job);
    return fs::path(Socket).parent_path() / "spool" / name;
}

}  // namespace qrp::test
