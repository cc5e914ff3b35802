// The Qt/CUPS back end against a private CUPS daemon that the tests start
// with two printers: a PDF printer and a PostScript printer with 12 pt
// margins, each writing to a file of its own. Skipped when CUPS is not
// installed.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/canvas/canvas.h"
#include "platform/printing/printer.h"
#include "platform/printing/printer_error.h"
#include "platform/printing/qt_printer_backend.h"
#include "printing/printer_settings.h"
#include "tests/support/commands.h"
#include "tests/support/private_cups.h"

namespace qrp {
namespace {

namespace fs = std::filesystem;
using test::PdfPageCount;
using test::RunCommand;
using test::TCommandResult;
using test::Trimmed;

const std::string kPdfPrinter = "QrpTestPdf";
const std::string kPsPrinter = "QrpTestPs";

class CupsPrinterTest : public test::PrivateCupsTest {
protected:
    static void SetUpTestSuite()
    {
        StartDaemon();
        if (!Running())
            return;
        AddPrinter(kPdfPrinter, "Pdf.pdf", kPdfModel);
        AddPrinter(kPsPrinter, "Ps.prn", "drv:///sample.drv/generic.ppd");
        // The server's default, kept in the private root; never a per-user default.
        ASSERT_EQ(RunCommand(test::AdminCommand("lpadmin -d ") + kPdfPrinter).Status, 0);
    }
    static void TearDownTestSuite() { StopDaemon(); }

    static void Select(TPrinter& printer, const std::string& device)
    {
        printer.SetPrinter(device, "", "", std::nullopt);
    }

};

TEST_F(CupsPrinterTest, ListsThePrintersAndTheServersDefault)
{
    TPrinter printer(std::make_shared<TQtPrinterBackend>());
    ASSERT_EQ(printer.PrinterCount(), 3);
    EXPECT_EQ(printer.Printers().back().Device, kPdfFilePrinter) << "the PDF file printer comes after the queues";
    std::vector<std::string> devices;
    for (const TPrinterInfo& info : printer.Printers())
        devices.push_back(info.Device);
    EXPECT_NE(std::find(devices.begin(), devices.end(), kPdfPrinter), devices.end());
    EXPECT_NE(std::find(devices.begin(), devices.end(), kPsPrinter), devices.end());
    EXPECT_EQ(printer.GetPrinter().Device, kPdfPrinter) << "the default is selected";
    EXPECT_EQ(printer.GetPrinter().Driver, "Generic PDF Printer");
    printer.SetPrinterIndex(-1);
    EXPECT_EQ(printer.Printers()[static_cast<std::size_t>(printer.PrinterIndex())].Device, kPdfPrinter);
}

TEST_F(CupsPrinterTest, PaperCodesAreTheDevicesOwn)
{
    TPrinter printer(std::make_shared<TQtPrinterBackend>());
    for (const std::string& device : {kPdfPrinter, kPsPrinter}) {
        Select(printer, device);
        const auto& codes = printer.PaperCodes();
        EXPECT_NE(std::find(codes.begin(), codes.end(), 9), codes.end()) << device << " offers A4";
        EXPECT_NE(std::find(codes.begin(), codes.end(), 1), codes.end()) << device << " offers Letter";
    }
    Select(printer, kPsPrinter);
    const std::size_t psSizes = printer.PaperCodes().size();
    Select(printer, kPdfPrinter);
    EXPECT_LT(psSizes, printer.PaperCodes().size()) << "the sample printer's list is shorter";
}

TEST_F(CupsPrinterTest, DeviceModeSelectsPaperAndOrientation)
{
    TPrinter printer(std::make_shared<TQtPrinterBackend>());
    Select(printer, kPsPrinter);
    const TDeviceMode defaults = *printer.DeviceMode();
    EXPECT_TRUE(defaults.Declares(DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES));
    EXPECT_EQ(defaults.Copies, 1);

    TDeviceMode mode = defaults;
    mode.PaperSize = 9;
    mode.Orientation = DMORIENT_LANDSCAPE;
    printer.SetPrinter(kPsPrinter, "", "", mode);
    EXPECT_EQ(*printer.GetPrinter().DeviceMode, mode);
    const int dpi = printer.PixelsPerInchX();
    EXPECT_EQ(printer.PixelsPerInchY(), dpi);
    const auto sheet = printer.PhysicalPageSize();
    ASSERT_TRUE(sheet);
    // A4 across: 297 mm wide, 210 mm long, in device pixels (the queue
    // measures paper in whole points, so within half a millimetre).
    const double halfMm = dpi / 50.8;
    EXPECT_NEAR(sheet->Width, 297.0 / 25.4 * dpi, halfMm);
    EXPECT_NEAR(sheet->Height, 210.0 / 25.4 * dpi, halfMm);

    // The sample printer cannot print within 12 pt of any edge.
    const auto offset = printer.PrintingOffset();
    ASSERT_TRUE(offset);
    EXPECT_NEAR(offset->X, 12.0 / 72 * dpi, 2);
    EXPECT_NEAR(offset->Y, 12.0 / 72 * dpi, 2);
    EXPECT_NEAR(printer.PageWidth(), sheet->Width - 2 * offset->X, 2);
    EXPECT_NEAR(printer.PageHeight(), sheet->Height - 2 * offset->Y, 2);

    ReselectDefaults(printer);
    EXPECT_EQ(*printer.DeviceMode(), defaults);
}

TEST_F(CupsPrinterTest, SettingsReadTheRealDevice)
{
    TPrinter printer(std::make_shared<TQtPrinterBackend>());
    Select(printer, kPsPrinter);
    TPrinterSettings settings;
    settings.SetBoundPrinter(&printer);
    EXPECT_EQ(settings.DeviceName(), kPsPrinter);
    EXPECT_TRUE(settings.Offers(TQRPaperSize::A4));
    EXPECT_GT(settings.DpiX(), 0);
    EXPECT_EQ(settings.PrintOffsetLeft(), 42) << "12 pt is 4.2 mm";
    EXPECT_EQ(settings.PrintOffsetTop(), 42);
    settings.SetPaperSize(TQRPaperSize::A4);
    settings.SetOrientation(poLandscape);
    settings.SetCopies(2);
    settings.WriteDeviceMode();
    settings.ReadPrinterSettings();
    EXPECT_EQ(settings.PaperSize(), TQRPaperSize::A4);
    EXPECT_EQ(settings.Copies(), 2);
    EXPECT_NEAR(printer.PhysicalPageSize()->Width, 297.0 / 25.4 * settings.DpiX(), settings.DpiX() / 50.8)
        << "landscape A4";
}

TEST_F(CupsPrinterTest, PrintsADocumentThroughTheDaemon)
{
    const fs::path output = OutputOf("Pdf.pdf");
    fs::remove(output);
    TPrinter printer(std::make_shared<TQtPrinterBackend>());
    Select(printer, kPdfPrinter);
    TPrinterSettings settings;
    settings.SetBoundPrinter(&printer);
    settings.SetPaperSize(TQRPaperSize::A4);
    settings.SetOrientation(poLandscape);
    settings.WriteDeviceMode();

    printer.Title = "Printer test";
    printer.BeginDoc();
    ASSERT_TRUE(printer.Printing());
    TCanvas& canvas = printer.Canvas();
    EXPECT_EQ(canvas.PixelsPerInch(), printer.PixelsPerInchY());
    canvas.Rectangle(0, 0, printer.PageWidth(), printer.PageHeight());
    canvas.Font.SetSize(24);
    canvas.TextOut(printer.PixelsPerInchX(), printer.PixelsPerInchY(), "Quarterly invoice summary");
    printer.EndDoc();
    EXPECT_FALSE(printer.Printing());

    ASSERT_TRUE(AllJobsDone()) << ErrorLog();
    ASSERT_TRUE(fs::exists(output)) << ErrorLog();
    const TCommandResult text = RunCommand("pdftotext '" + output.string() + "' - 2>&1");
    ASSERT_EQ(text.Status, 0) << text.Output;
    EXPECT_NE(text.Output.find("Quarterly invoice summary"), std::string::npos) << text.Output;
    EXPECT_EQ(PdfPageCount(output), 1);
    // A landscape page comes out turned on upright paper: its text runs up the sheet.
    const std::string words = RunCommand("pdftotext -bbox '" + output.string() + "' - 2>&1").Output;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    const auto word = words.find("<word ");
    ASSERT_NE(word, std::string::npos) << words;
    ASSERT_EQ(std::sscanf(words.c_str() + word, "<word xMin=\"%lf\" yMin=\"%lf\" xMax=\"%lf\" yMax=\"%lf\"", &xMin,
                          &yMin, &xMax, &yMax), 4);
    EXPECT_GT(yMax - yMin, xMax - xMin) << words;
}

TEST_F(CupsPrinterTest, CopiesAreMadeByTheQueue)
{
    const fs::path output = OutputOf("Pdf.pdf");
    fs::remove(output);
    TPrinter printer(std::make_shared<TQtPrinterBackend>());
    Select(printer, kPdfPrinter);
    TPrinterSettings settings;
    settings.SetBoundPrinter(&printer);
    settings.SetCopies(2);
    settings.WriteDeviceMode();
    printer.BeginDoc();
    printer.Canvas().TextOut(0, 0, "Painted once");
    printer.EndDoc();
    ASSERT_TRUE(AllJobsDone()) << ErrorLog();
    EXPECT_EQ(PdfPageCount(output), 2) << "one page painted, two copies printed";
}

TEST_F(CupsPrinterTest, AnAbortedDocumentIsNotPrinted)
{
    const fs::path output = OutputOf("Ps.prn");
    fs::remove(output);
    TPrinter printer(std::make_shared<TQtPrinterBackend>());
    Select(printer, kPsPrinter);
    printer.BeginDoc();
    printer.Canvas().TextOut(0, 0, "Never printed");
    printer.Abort();
    EXPECT_TRUE(printer.Aborted());
    EXPECT_FALSE(printer.Printing());
    ASSERT_TRUE(AllJobsDone());
    EXPECT_EQ(Trimmed(RunCommand("lpstat -W completed -o " + kPsPrinter).Output), "") << "no job was sent";
    EXPECT_FALSE(fs::exists(output));
}

TEST_F(CupsPrinterTest, APrinterTheDaemonDoesNotKnowIsNotValid)
{
    TPrinter printer(std::make_shared<TQtPrinterBackend>());
    printer.SetPrinter("QrpTestMissing", "", "", std::nullopt);
    EXPECT_EQ(printer.DeviceMode(), nullptr);
    EXPECT_THROW(printer.PixelsPerInchX(), EPrinter);
    EXPECT_THROW(printer.BeginDoc(), EPrinter);
}

// Without a daemon to ask, the PDF file printer is the only one, and nothing waits for a daemon.
TEST(CupsWithoutDaemon, HasOnlyThePdfFilePrinter)
{
    setenv("CUPS_SERVER", "/nonexistent/qrp-cups.sock", 1);
    TPrinter printer(std::make_shared<TQtPrinterBackend>());
    ASSERT_EQ(printer.PrinterCount(), 1);
    EXPECT_EQ(printer.PrinterIndex(), 0);
    EXPECT_EQ(printer.GetPrinter().Device, kPdfFilePrinter);
}

}  // namespace
}  // namespace qrp
