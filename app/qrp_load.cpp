#include "app/qrp_load.h"

#include "preview/qr_preview.h"

#include <unistd.h>

#include <array>
#include <climits>


namespace qrp {

bool FirstStart = false;
std::string InstallDir;

TQRPLoad::TQRPLoad(std::vector<std::string> arguments) : Arguments(std::move(arguments))
{
    // The empty report definition: no bands, no data, A4 portrait with 10 mm margins, uncompressed pages.
    QRReport1.ReportTitle.clear();
    QRReport1.Options = FirstPageHeader | LastPageFooter;
    QRReport1.Page.SetUnits(TQRUnit::MM);
    QRReport1.Page.SetColumns(1);
    QRReport1.Page.SetOrientation(poPortrait);
    QRReport1.Page.SetPaperSize(TQRPaperSize::A4);
    constexpr std::array<long double, 7> kPageValues = {100, 2970, 100, 2100, 100, 100, 0};
    QRReport1.Page.ReadStoredValues(kPageValues);
    QRReport1.PrinterSettings.Copies = 1;
    QRReport1.PrinterSettings.Duplex = false;
    QRReport1.PrinterSettings.FirstPage = 0;
    QRReport1.PrinterSettings.LastPage = 0;
    QRReport1.PrinterSettings.OutputBin = TQRBin::Auto;
    QRReport1.PrintIfEmpty = true;
    QRReport1.ShowProgress = true;
    QRReport1.OnPreview = [this](TQRPrinter* sender) { QRReport1Preview(sender); };
    FormCreate();
}

TQRPLoad::~TQRPLoad()
{
    // A viewer still open (after a quit request) goes with its owner.
    delete QRPrew.data();
}

void TQRPLoad::FormCreate()
{
    char path[PATH_MAX] = {};
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    const std::string executable = length > 0 ? std::string(path, static_cast<std::size_t>(length)) : std::string();
    const auto slash = executable.rfind('/');
    InstallDir = slash == std::string::npos ? "./" : executable.substr(0, slash + 1);
}

void TQRPLoad::QRReport1Preview(TQRPrinter* sender)
{
    QRPrew = new TQRPrew(nullptr, Arguments);
    QRPrew->Report = &QRReport1;
    QRPrew->QRPreview1->SetReportPrinter(sender);
    QRPrew->ShowPreview();
}

}  // namespace qrp
