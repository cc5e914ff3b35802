#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/printing/printer.h"
#include "platform/printing/printer_error.h"
#include "platform/printing/scripted_printer_backend.h"
#include "printing/printer_settings.h"

namespace qrp {
namespace {

constexpr std::uint32_t kAllFields =
    DM_ORIENTATION | DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH | DM_COPIES | DM_DEFAULTSOURCE | DM_DUPLEX;

// An office laser: declares everything, takes Letter, A4 and a paper code
// unknown to the tables, 600 dpi, A4 sheet with a printable area inset.
TScriptedPrinter Office()
{
    TDeviceMode mode;
    mode.Fields = kAllFields;
    mode.PaperSize = 9;
    mode.Copies = 2;
    mode.DefaultSource = 1;
    mode.Duplex = DMDUP_VERTICAL;
    return {{"Office", "Office driver", "usb://office"},
            mode,
            {600, 600, {4800, 6814}, TPixelSize {4960, 7016}, TPixelOffset {75, 150}, {1, 9, 70}}};
}

// A label printer: no orientation, copies, paper source or duplex in its
// device mode, a paper number outside the tables, and no physical size or
// offsets to tell.
TScriptedPrinter Labels()
{
    TDeviceMode mode;
    mode.Fields = DM_PAPERSIZE;
    mode.PaperSize = 27;
    mode.Copies = 5;
    return {{"Labels", "Label driver", "usb://labels"}, mode, {203, 203, {800, 1200}, {}, {}, {19, 256}}};
}

// A plotter whose driver gives no device mode, with different resolutions across and down.
TScriptedPrinter Plotter()
{
    return {{"Plotter", "Plotter driver", "lpd://plotter"},
            {},
            {508, 254, {4000, 2000}, {}, TPixelOffset {125, 125}, {}}};
}

// A device that reports no resolution.
TScriptedPrinter Broken()
{
    return {{"Broken", "", ""}, TDeviceMode {}, {0, 0, {100, 100}, {}, {}, {}}};
}

void ExpectPrinterError(const std::function<void()>& action, const std::string& text)
{
    try {
        action();
        ADD_FAILURE() << "no error, expected \"" << text << '"';
    } catch (const EPrinter& error) {
        EXPECT_EQ(error.Message(), text);
    }
}

class PrinterSettingsTest : public ::testing::Test {
protected:
    std::shared_ptr<TScriptedPrinterBackend> Backend =
        std::make_shared<TScriptedPrinterBackend>(std::vector {Office(), Labels(), Plotter(), Broken()}, 0);
    TPrinter Printer {Backend};
    TPrinterSettings Settings;

    void SetUp() override { Settings.SetBoundPrinter(&Printer); }

    // Selects a printer with the given device mode and reads the settings from it.
    void Select(const std::string& device, const std::optional<TDeviceMode>& mode)
    {
        Printer.SetPrinter(device, "", "", mode);
        Settings.ReadPrinterSettings();
    }
    TDeviceMode OfficeMode(std::int16_t paperSize)
    {
        TDeviceMode mode = *Office().DefaultMode;
        mode.PaperSize = paperSize;
        return mode;
    }
    const TDeviceMode& Written()
    {
        Settings.WriteDeviceMode();
        return *Printer.DeviceMode();
    }
};

TEST_F(PrinterSettingsTest, ReadsTheSelectedPrinter)
{
    EXPECT_EQ(Settings.DeviceName(), "Office");
    EXPECT_EQ(Settings.DriverName(), "Office driver");
    EXPECT_EQ(Settings.PortName(), "usb://office");
    EXPECT_EQ(Settings.DpiX(), 600);
    EXPECT_EQ(Settings.Copies(), 2);
    EXPECT_TRUE(Settings.Duplex()) << "vertical duplex is duplex";
    EXPECT_EQ(Settings.PaperSize(), TQRPaperSize::A4);
    // 75 px at 600 dpi is 3.175 mm; 150 px is 6.35 mm, its tie rounded to even.
    EXPECT_EQ(Settings.PrintOffsetLeft(), 32);
    EXPECT_EQ(Settings.PrintOffsetTop(), 64);
    // The stored sheet comes from the physical page: 4960 × 7016 px.
    Settings.SetPaperSize(TQRPaperSize::Custom);
    EXPECT_EQ(Settings.SheetWidth(), 2100);
    EXPECT_EQ(Settings.SheetLength(), 2970);
}

TEST_F(PrinterSettingsTest, OffsetsUseEachAxisResolutionAndRoundHalvesToEven)
{
    Select("Plotter", std::nullopt);
    EXPECT_EQ(Settings.DpiX(), 508);
    EXPECT_EQ(Settings.DpiY(), 254);
    EXPECT_EQ(Settings.PrintOffsetLeft(), 62) << "125 px at 508 dpi is 6.25 mm";
    EXPECT_EQ(Settings.PrintOffsetTop(), 125);
}

TEST_F(PrinterSettingsTest, PaperNumbersReadAsTheirSizes)
{
    Select("Office", OfficeMode(9));
    EXPECT_EQ(Settings.PaperSize(), TQRPaperSize::A4);
    Select("Office", OfficeMode(27));
    EXPECT_EQ(Settings.PaperSize(), TQRPaperSize::Default) << "not in the tables";
    Select("Office", OfficeMode(256));
    EXPECT_EQ(Settings.PaperSize(), TQRPaperSize::Custom);
    TDeviceMode undeclared = OfficeMode(9);
    undeclared.Fields &= ~DM_PAPERSIZE;
    Select("Office", undeclared);
    EXPECT_EQ(Settings.PaperSize(), TQRPaperSize::Default);
}

TEST_F(PrinterSettingsTest, OffersTheListedPaperCodesAndCustom)
{
    for (int i = 0; i < kPaperSizeCount; ++i) {
        const TQRPaperSize size = PaperSizeAt(i);
        const bool offered = size == TQRPaperSize::Letter || size == TQRPaperSize::A4 || size == TQRPaperSize::Custom;
        EXPECT_EQ(Settings.Offers(size), offered) << PaperSizeIdentifier(size);
    }
    Settings.SetPaperSize(TQRPaperSize::A5);
    EXPECT_EQ(Settings.PaperSize(), TQRPaperSize::A4);
    Settings.SetPaperSize(TQRPaperSize::A4Small);
    EXPECT_EQ(Settings.PaperSize(), TQRPaperSize::A4) << "a size matching A4 that the device lacks";
    Settings.SetPaperSize(TQRPaperSize::Letter);
    EXPECT_EQ(Settings.PaperSize(), TQRPaperSize::Letter);
    Settings.SetPaperSize(TQRPaperSize::Default);
    EXPECT_EQ(Settings.PaperSize(), TQRPaperSize::Default);

    // Reading another printer forgets the first one's list.
    Select("Labels", std::nullopt);
    EXPECT_TRUE(Settings.Offers(TQRPaperSize::Env9));
    EXPECT_FALSE(Settings.Offers(TQRPaperSize::A4));
}

TEST_F(PrinterSettingsTest, SheetSizesComeFromTheTableInTenthsOfMillimetres)
{
    Select("Labels", std::nullopt);
    Settings.SetPaperSize(TQRPaperSize::Env9);
    EXPECT_EQ(Settings.SheetWidth(), 984);
    EXPECT_EQ(Settings.SheetLength(), 2254);
    // Without a physical size the stored sheet is 0 × 0; the table sizes do not depend on it.
    Settings.SetPaperSize(TQRPaperSize::Default);
    EXPECT_EQ(Settings.SheetWidth(), 0);
    EXPECT_EQ(Settings.SheetLength(), 0);
    EXPECT_EQ(Settings.PrintOffsetLeft(), 0);
    EXPECT_EQ(Settings.PrintOffsetTop(), 0);
    Select("Office", std::nullopt);
    EXPECT_EQ(Settings.SheetWidth(), 2100);
    EXPECT_EQ(Settings.SheetLength(), 2970);
}

TEST_F(PrinterSettingsTest, PaperWidthAndLengthAreStoredOnlyForCustomPaper)
{
    Settings.SetPaperWidth(1000);
    Settings.SetPaperLength(1500);
    EXPECT_EQ(Settings.SheetWidth(), 2100);
    Settings.SetPaperSize(TQRPaperSize::Custom);
    EXPECT_EQ(Settings.SheetWidth(), 2100) << "still the stored physical width";
    Settings.SetPaperWidth(1000);
    Settings.SetPaperLength(1500);
    EXPECT_EQ(Settings.SheetWidth(), 1000);
    EXPECT_EQ(Settings.SheetLength(), 1500);
    // A length the device mode cannot hold is not taken.
    Settings.SetPaperWidth(40000);
    Settings.SetPaperLength(0);
    EXPECT_EQ(Settings.SheetWidth(), 1000);
    EXPECT_EQ(Settings.SheetLength(), 1500);

    const TDeviceMode& mode = Written();
    EXPECT_EQ(mode.PaperSize, 256);
    EXPECT_EQ(mode.PaperWidth, 1000);
    EXPECT_EQ(mode.PaperLength, 1500);
}

TEST_F(PrinterSettingsTest, PaperSourceCodesReadAsTheFirstMatchingBin)
{
    const auto binRead = [&](std::int16_t source) {
        TDeviceMode mode = OfficeMode(9);
        mode.DefaultSource = source;
        Select("Office", mode);
        return Settings.OutputBin();
    };
    EXPECT_EQ(binRead(1), TQRBin::First) << "never Upper";
    EXPECT_EQ(binRead(14), TQRBin::Cassette);
    EXPECT_EQ(binRead(7), TQRBin::Auto);
    EXPECT_EQ(binRead(0x0107), TQRBin::First) << "a driver's own bin";
}

TEST_F(PrinterSettingsTest, WritingAPaperSourceKeepsTheDriverBinBit)
{
    TDeviceMode mode = OfficeMode(9);
    mode.DefaultSource = 0x0107;
    Select("Office", mode);
    Settings.SetOutputBin(TQRBin::Manual);
    EXPECT_EQ(Written().DefaultSource, 0x0104);
}

TEST_F(PrinterSettingsTest, DuplexIsWrittenOnlyWhenWanted)
{
    TDeviceMode mode = OfficeMode(9);
    mode.Duplex = DMDUP_SIMPLEX;
    Select("Office", mode);
    EXPECT_FALSE(Settings.Duplex());
    mode.Duplex = 7;  // whatever the device holds stays
    Printer.SetPrinter("Office", "", "", mode);
    EXPECT_EQ(Written().Duplex, 7);

    Settings.SetDuplex(true);
    EXPECT_EQ(Written().Duplex, DMDUP_HORIZONTAL);
    // A binding the device mode already names (the print dialog's choice) stays.
    mode.Duplex = DMDUP_VERTICAL;
    Select("Office", mode);
    EXPECT_TRUE(Settings.Duplex());
    EXPECT_EQ(Written().Duplex, DMDUP_VERTICAL);

    Select("Labels", std::nullopt);
    Settings.SetDuplex(true);
    const TDeviceMode& labels = Written();
    EXPECT_TRUE(labels.Declares(DM_DUPLEX));
    EXPECT_EQ(labels.Duplex, DMDUP_HORIZONTAL);
}

TEST_F(PrinterSettingsTest, WriteDeviceModeDeclaresCopiesSourceAndOrientationAlways)
{
    Select("Labels", std::nullopt);
    Settings.SetPaperSize(TQRPaperSize::Env9);
    const TDeviceMode& mode = Written();
    EXPECT_TRUE(mode.Declares(DM_COPIES | DM_DEFAULTSOURCE | DM_ORIENTATION));
    EXPECT_EQ(mode.Copies, 1) << "the device declared no copies, so one was read";
    EXPECT_EQ(mode.DefaultSource, 1);
    EXPECT_EQ(mode.Orientation, DMORIENT_PORTRAIT);
    EXPECT_EQ(mode.PaperSize, 19);
    EXPECT_FALSE(mode.Declares(DM_PAPERWIDTH)) << "only for Custom paper on a device that declares it";
    EXPECT_EQ(Printer.GetPrinter().Device, "Labels");

    // Default paper leaves the device's paper number alone.
    Settings.SetPaperSize(TQRPaperSize::Default);
    EXPECT_EQ(Written().PaperSize, 19);
}

TEST_F(PrinterSettingsTest, WrittenSettingsReachTheDeviceMode)
{
    Settings.SetCopies(3);
    Settings.SetOrientation(poLandscape);
    Settings.SetPaperSize(TQRPaperSize::Letter);
    Settings.SetOutputBin(TQRBin::Cassette);
    const TDeviceMode& mode = Written();
    EXPECT_EQ(mode.Copies, 3);
    EXPECT_EQ(mode.Orientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(mode.PaperSize, 1);
    EXPECT_EQ(mode.DefaultSource, 14);
    EXPECT_EQ(Printer.Orientation(), DMORIENT_LANDSCAPE);
    EXPECT_EQ(Printer.Copies(), 3);

    // Copies outside what the device mode holds are not taken.
    Settings.SetCopies(0);
    Settings.SetCopies(40000);
    EXPECT_EQ(Settings.Copies(), 3);

    // The driver's defaults come back with ReselectDefaults.
    ReselectDefaults(Printer);
    EXPECT_EQ(*Printer.DeviceMode(), *Office().DefaultMode);
}

TEST_F(PrinterSettingsTest, ValuesTheDeviceDoesNotDeclareAreIgnored)
{
    Select("Labels", std::nullopt);
    EXPECT_FALSE(Settings.DeviceModeDeclares(DM_ORIENTATION));
    EXPECT_TRUE(Settings.DeviceModeDeclares(DM_PAPERSIZE));
    EXPECT_FALSE(Settings.DeviceModeDeclares(DM_PAPERSIZE | DM_COPIES)) << "every bit must be declared";
    EXPECT_EQ(Settings.Copies(), 1);
    EXPECT_EQ(Settings.OutputBin(), TQRBin::First);
    Settings.SetOrientation(poLandscape);
    Settings.SetCopies(4);
    Settings.SetOutputBin(TQRBin::Manual);
    EXPECT_EQ(Settings.Orientation(), poPortrait);
    EXPECT_EQ(Settings.Copies(), 1);
    EXPECT_EQ(Settings.OutputBin(), TQRBin::First);
}

TEST_F(PrinterSettingsTest, APrinterWithoutDeviceModeGetsOneWhenWritten)
{
    Select("Plotter", std::nullopt);
    EXPECT_EQ(Printer.DeviceMode(), nullptr);
    EXPECT_FALSE(Settings.DeviceModeDeclares(DM_COPIES));
    EXPECT_EQ(Settings.PaperSize(), TQRPaperSize::Default);
    const TDeviceMode& mode = Written();
    EXPECT_EQ(mode.Fields, DM_COPIES | DM_DEFAULTSOURCE | DM_ORIENTATION);
    EXPECT_EQ(mode.Copies, 1);
}

TEST(PrinterSettingsWithoutPrinter, TakeOnlyDefaultPaper)
{
    TPrinter printer(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {}));
    TPrinterSettings bound;
    bound.SetBoundPrinter(&printer);
    TPrinterSettings unbound;
    for (TPrinterSettings* settings : {&bound, &unbound}) {
        EXPECT_FALSE(settings->DeviceModeDeclares(DM_COPIES));
        settings->SetCopies(3);
        settings->SetOrientation(poLandscape);
        settings->SetOutputBin(TQRBin::Manual);
        settings->SetPaperSize(TQRPaperSize::Letter);
        settings->SetPaperSize(TQRPaperSize::Custom);
        EXPECT_EQ(settings->Copies(), 1);
        EXPECT_EQ(settings->Orientation(), poPortrait);
        EXPECT_EQ(settings->OutputBin(), TQRBin::First);
        EXPECT_EQ(settings->PaperSize(), TQRPaperSize::A4);
        EXPECT_EQ(settings->SheetWidth(), 2100);
        EXPECT_EQ(settings->PrintOffsetLeft(), 0);
        EXPECT_EQ(settings->PrintOffsetTop(), 0);
        settings->SetPaperSize(TQRPaperSize::Default);
        EXPECT_EQ(settings->PaperSize(), TQRPaperSize::Default);
        EXPECT_EQ(settings->SheetWidth(), 0);
    }
    // Unbound settings have nothing to read or write; a printer object
    // without printers has no selected printer.
    unbound.ReadPrinterSettings();
    unbound.WriteDeviceMode();
    ExpectPrinterError([&] { bound.ReadPrinterSettings(); }, "Printer selected is not valid");
    ExpectPrinterError([&] { bound.WriteDeviceMode(); }, "Printer selected is not valid");
}

// The printer object itself.

TEST_F(PrinterSettingsTest, PrinterIndexSelectsWithinTheList)
{
    EXPECT_EQ(Printer.PrinterCount(), 4);
    EXPECT_EQ(Printer.PrinterIndex(), 0);
    Printer.SetPrinterIndex(1);
    EXPECT_EQ(Printer.GetPrinter().Device, "Labels");
    EXPECT_EQ(Printer.DeviceMode()->PaperSize, 27);
    ExpectPrinterError([&] { Printer.SetPrinterIndex(4); }, "Printer index out of range");
    ExpectPrinterError([&] { Printer.SetPrinterIndex(-2); }, "Printer index out of range");
    EXPECT_EQ(Printer.PrinterIndex(), 1) << "a failed selection keeps the printer";
    Printer.SetPrinterIndex(-1);
    EXPECT_EQ(Printer.PrinterIndex(), 0) << "the system default";
}

TEST(Printer, WithoutADefaultTheFirstPrinterIsSelected)
{
    TPrinter printer(std::make_shared<TScriptedPrinterBackend>(std::vector {Labels(), Office()}, -1));
    EXPECT_EQ(printer.PrinterIndex(), 0);
    EXPECT_EQ(printer.GetPrinter().Device, "Labels");
    TPrinter second(std::make_shared<TScriptedPrinterBackend>(std::vector {Labels(), Office()}, 1));
    EXPECT_EQ(second.GetPrinter().Device, "Office");
}

TEST(Printer, WithoutPrintersNothingCanBeSelected)
{
    TPrinter printer(std::make_shared<TScriptedPrinterBackend>(std::vector<TScriptedPrinter> {}));
    EXPECT_EQ(printer.PrinterCount(), 0);
    EXPECT_EQ(printer.PrinterIndex(), -1);
    printer.SetPrinterIndex(-1);
    ExpectPrinterError([&] { printer.SetPrinterIndex(0); }, "Printer index out of range");
    ExpectPrinterError([&] { printer.GetPrinter(); }, "Printer selected is not valid");
    ExpectPrinterError([&] { printer.PixelsPerInchX(); }, "Printer selected is not valid");
    ExpectPrinterError([&] { printer.BeginDoc(); }, "Printer selected is not valid");
    ExpectPrinterError([&] { printer.Orientation(); }, "Operation not supported on selected printer");
    EXPECT_FALSE(printer.Printing());
    EXPECT_EQ(printer.Painter(), nullptr);
}

TEST_F(PrinterSettingsTest, SettingAnUnknownPrinterAddsIt)
{
    Printer.SetPrinter("Elsewhere", "Some driver", "ipp://elsewhere", std::nullopt);
    EXPECT_EQ(Printer.PrinterCount(), 5);
    EXPECT_EQ(Printer.PrinterIndex(), 4);
    EXPECT_EQ(Printer.Printers()[4].Port, "ipp://elsewhere");
    EXPECT_EQ(Printer.DeviceMode(), nullptr) << "no driver to ask";
    ExpectPrinterError([&] { Printer.SetCopies(2); }, "Operation not supported on selected printer");
    ExpectPrinterError([&] { Settings.ReadPrinterSettings(); }, "Printer selected is not valid");
    // Selecting it again finds it instead of adding it twice.
    Printer.SetPrinter("Elsewhere", "", "", std::nullopt);
    EXPECT_EQ(Printer.PrinterCount(), 5);
    ExpectPrinterError([&] { Printer.SetPrinter("", "", "", std::nullopt); }, "Printer selected is not valid");
}

TEST_F(PrinterSettingsTest, ADeviceWithoutResolutionIsNotValid)
{
    Printer.SetPrinter("Broken", "", "", std::nullopt);
    ExpectPrinterError([&] { Settings.ReadPrinterSettings(); }, "Printer selected is not valid");
    ExpectPrinterError([&] { Printer.BeginDoc(); }, "Printer selected is not valid");
}

TEST_F(PrinterSettingsTest, OrientationAndCopiesGoThroughTheDeviceMode)
{
    Printer.SetPrinter("Labels", "", "", std::nullopt);
    EXPECT_EQ(Printer.Orientation(), DMORIENT_PORTRAIT);
    Printer.SetOrientation(DMORIENT_LANDSCAPE);
    EXPECT_TRUE(Printer.DeviceMode()->Declares(DM_ORIENTATION));
    EXPECT_EQ(Printer.Orientation(), DMORIENT_LANDSCAPE);
    ExpectPrinterError([&] { Printer.SetOrientation(3); }, "Operation not supported on selected printer");
    ExpectPrinterError([&] { Printer.SetCopies(0); }, "Operation not supported on selected printer");
    Printer.SetCopies(7);
    EXPECT_EQ(Printer.Copies(), 7);
    Printer.SetPrinter("Plotter", "", "", std::nullopt);
    ExpectPrinterError([&] { Printer.Orientation(); }, "Operation not supported on selected printer");
    ExpectPrinterError([&] { Printer.Copies(); }, "Operation not supported on selected printer");
}

TEST_F(PrinterSettingsTest, CapabilitiesAreTheDevicesOwn)
{
    EXPECT_EQ(Printer.PageWidth(), 4800);
    EXPECT_EQ(Printer.PageHeight(), 6814);
    EXPECT_EQ(Printer.PhysicalPageSize(), (TPixelSize {4960, 7016}));
    EXPECT_EQ(Printer.PrintingOffset(), (TPixelOffset {75, 150}));
    EXPECT_EQ(Printer.PaperCodes(), (std::vector<std::int16_t> {1, 9, 70}));
    Printer.SetPrinterIndex(1);
    EXPECT_FALSE(Printer.PhysicalPageSize());
    EXPECT_FALSE(Printer.PrintingOffset());
    EXPECT_EQ(Printer.PixelsPerInchY(), 203);
}

TEST_F(PrinterSettingsTest, DocumentStateIsChecked)
{
    ExpectPrinterError([&] { Printer.NewPage(); }, "Printing not in progress");
    ExpectPrinterError([&] { Printer.EndDoc(); }, "Printing not in progress");
    ExpectPrinterError([&] { Printer.Abort(); }, "Printing not in progress");
    ExpectPrinterError([&] { Printer.Canvas(); }, "Printing not in progress");
    EXPECT_TRUE(Backend->Documents().empty());
}

TEST(PrinterBackendSetting, NewPrintersUseTheInstalledBackend)
{
    auto scripted = std::make_shared<TScriptedPrinterBackend>(std::vector {Office()}, 0);
    SetPrinterBackend(scripted);
    TPrinter printer;
    EXPECT_EQ(printer.GetPrinter().Device, "Office");
    SetPrinterBackend(nullptr);
    EXPECT_NE(PrinterBackend(), scripted);
    EXPECT_EQ(printer.GetPrinter().Device, "Office") << "a printer keeps the back end it was made with";
}

}  // namespace
}  // namespace qrp
