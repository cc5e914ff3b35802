// qrptool preview: a report file in the default preview window. The report
// printer has no preview handler, so its Preview opens the window through the
// program's preview interface; the command returns when the window closes or
// the program is asked to quit (SIGTERM, SIGINT).

#include <filesystem>
#include <string>

#include <QApplication>
#include <QPointer>

#include "platform/messages/application.h"
#include "report/qr_printer.h"
#include "tools/qrptool/command_line.h"
#include "tools/qrptool/file_errors.h"
#include "tools/qrptool/gui_application.h"
#include "tools/qrptool/print_destination.h"

namespace qrptool {

int RunPreview(const CommandLine& line)
{
    line.ExpectOperands(1, 1);
    const std::string& fileName = line.Operands()[0];
    CheckDestination(line);
    RequireReportFile(fileName);
    const auto application = StartWidgetsApplication();

    // Made after the application, the printer goes before it, and its window with it.
    qrp::TQRPrinter printer;
    // The destination first: loading recognises the paper among the sizes its printer takes.
    ChooseDestination(printer, line);
    OnFile(fileName, [&] { printer.Load(fileName); });
    printer.JobTitle = std::filesystem::path(fileName).filename().string();
    printer.Preview();
    const QPointer<QObject> window = printer.DefaultPreviewWindow;
    if (!window)
        throw std::runtime_error("the preview window could not be opened");
    while (window && !qrp::Application::Terminated())
        qrp::Application::HandleMessage();
    return 0;
}

}  // namespace qrptool
