// qrpview: the program's whole run is one modal preview of an empty report;
// report files are opened into it from the command line or the open dialog.
// "--help" and "--version" are answered before any window or application
// object exists, so they work without a display.

#include "app/qr_application.h"
#include "app/qrp_load.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#ifndef QRP_VERSION
#error "QRP_VERSION, the project's version, comes from the build"
#endif

namespace {
constexpr const char* kUsage =
    "usage: qrpview [FILE.qrp]\n"
    "       qrpview --help | --version\n"
    "Shows a saved report document (.qrp) in the viewer window, or the empty viewer\n"
    "without one: page through it, zoom, open other report files and print.\n";

// Answers --help and --version; the exit code, or -1 when the viewer is to start.
int AnswerInformationOptions(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("qrpview %s\n", QRP_VERSION);
            return 0;
        }
    }
    return -1;
}
}  // namespace

int main(int argc, char** argv)
{
    if (const int answered = AnswerInformationOptions(argc, argv); answered >= 0)
        return answered;
    qrp::TQRApplication application(argc, argv);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    std::vector<std::string> commandLine;
    for (const QString& argument : arguments)
        commandLine.push_back(argument.toStdString());
    {
        qrp::TQRPLoad QRPLoad(commandLine);
        qrp::FirstStart = true;
        QRPLoad.QRReport1.PreviewModal();
    }
    return 0;
}
