// qrpview: the program's whole run is one modal preview of an empty report;
// report files are opened into it from the command line or the open dialog.

#include "app/qr_application.h"
#include "app/qrp_load.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
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
