#pragma once
// Tests against a private CUPS daemon (scripts/private-cupsd.sh) that a test
// suite starts for itself, with printers writing into files of their own.
// The suite is skipped with a message where CUPS is not installed.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace qrp::test {

// A CUPS administration command (lpadmin, cupsreject) for the shell, found
// where ordinary users' PATH leaves it out.
std::string AdminCommand(const std::string& command);

class PrivateCupsTest : public ::testing::Test {
protected:
    // Starts the daemon and points this process's CUPS clients (Qt's
    // included, and the programs it runs) at it. A suite calls it from its
    // SetUpTestSuite and StopDaemon from its TearDownTestSuite.
    static void StartDaemon();
    static void StopDaemon();
    static bool Running() { return !Socket.empty(); }

    void SetUp() override;

    // A queue writing to OutputOf(file), enabled and accepting jobs.
    static void AddPrinter(const std::string& name, const std::string& file, const std::string& model);
    // The Generic PDF printer's model.
    static constexpr const char* kPdfModel = "lsb/usr/cupsfilters/Generic-PDF_Printer-PDF.ppd";
    static std::filesystem::path OutputOf(const std::string& file);
    // Waits until the daemon has no job left, and says whether it got there.
    static bool AllJobsDone();
    static std::string ErrorLog();

    // The id of the last job the daemon took, 0 when it took none.
    static int LastJobId();
    // A job's attribute as text ("copies" gives "2"), empty when it has none.
    static std::string JobAttribute(int job, const char* attribute);
    // The document the daemon keeps of a job.
    static std::filesystem::path SpooledDocument(int job);

private:
    static inline std::string SkipReason;
    static inline std::string Socket;
    static inline std::string OutputDir;
};

}  // namespace qrp::test
