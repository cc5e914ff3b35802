#include "printing/printer_settings.h"

#include <algorithm>
#include <limits>

#include "platform/printing/printer.h"
#include "platform/rounding.h"

namespace qrp {

namespace {
constexpr int kDeviceModeMax = std::numeric_limits<std::int16_t>::max();
// Bit of a paper source code that marks the driver's own bins; writing a
// source keeps it as it was.
constexpr std::int16_t kDriverBinBit = 0x100;

// Device pixels as tenths of a millimetre.
int PixelsToTenthsMm(int pixels, int pixelsPerInch)
{
    return static_cast<int>(Round(static_cast<long double>(pixels) * 254 / pixelsPerInch));
}

int TableTenthsMm(long double millimetres) { return static_cast<int>(Round(millimetres * 10)); }

std::int16_t DeviceModeLength(int tenthsMm)
{
    return static_cast<std::int16_t>(std::clamp(tenthsMm, 0, kDeviceModeMax));
}

TQRBin BinOfCode(std::int16_t code)
{
    for (int i = 0; i < kBinCount; ++i)
        if (BinCode(BinAt(i)) == code)
            return BinAt(i);
    return TQRBin::First;
}

TQRPaperSize PaperSizeOfCode(std::int16_t code, int from)
{
    for (int i = from; i < kPaperSizeCount; ++i)
        if (PaperCode(PaperSizeAt(i)) == code)
            return PaperSizeAt(i);
    return TQRPaperSize::Default;
}
}  // namespace

void TPrinterSettings::SetBoundPrinter(TPrinter* printer)
{
    Printer = printer;
    if (Printer && Printer->PrinterCount() > 0)
        ReadPrinterSettings();
}

bool TPrinterSettings::DeviceModeDeclares(std::uint32_t field) const
{
    const TDeviceMode* mode = Printer ? Printer->DeviceMode() : nullptr;
    return mode && mode->Declares(field);
}

void TPrinterSettings::ReadPrinterSettings()
{
    if (!Printer)
        return;
    const TPrinterSelection selected = Printer->GetPrinter();
    Device = selected.Device;
    Driver = selected.Driver;
    Port = selected.Port;
    const TDeviceMode mode = selected.DeviceMode.value_or(TDeviceMode {});

    ResolutionX = Printer->PixelsPerInchX();
    ResolutionY = Printer->PixelsPerInchY();
    CopyCount = mode.Declares(DM_COPIES) ? mode.Copies : 1;
    Bin = mode.Declares(DM_DEFAULTSOURCE) ? BinOfCode(mode.DefaultSource) : TQRBin::First;
    TwoSided = mode.Declares(DM_DUPLEX) && mode.Duplex != DMDUP_SIMPLEX;

    const auto offset = Printer->PrintingOffset();
    OffsetLeft = offset ? PixelsToTenthsMm(offset->X, ResolutionX) : 0;
    OffsetTop = offset ? PixelsToTenthsMm(offset->Y, ResolutionY) : 0;

    Paper = mode.Declares(DM_PAPERSIZE) ? PaperSizeOfCode(mode.PaperSize, 0) : TQRPaperSize::Default;
    const auto sheet = Printer->PhysicalPageSize();
    StoredWidth = sheet ? PixelsToTenthsMm(sheet->Width, ResolutionX) : 0;
    StoredLength = sheet ? PixelsToTenthsMm(sheet->Height, ResolutionY) : 0;

    OfferedSizes.fill(false);
    for (const std::int16_t code : Printer->PaperCodes()) {
        const TQRPaperSize size = PaperSizeOfCode(code, IndexOf(TQRPaperSize::Letter));
        if (size != TQRPaperSize::Default)
            OfferedSizes[static_cast<std::size_t>(IndexOf(size))] = true;
    }
    OfferedSizes[static_cast<std::size_t>(IndexOf(TQRPaperSize::Custom))] = true;
}

void TPrinterSettings::WriteDeviceMode()
{
    if (!Printer)
        return;
    TPrinterSelection selected = Printer->GetPrinter();
    // A printer whose driver gave no device mode gets one made of the settings.
    TDeviceMode mode = selected.DeviceMode.value_or(TDeviceMode {});

    if (Paper == TQRPaperSize::Custom) {
        if (mode.Declares(DM_PAPERLENGTH))
            mode.PaperLength = DeviceModeLength(SheetLength());
        if (mode.Declares(DM_PAPERWIDTH))
            mode.PaperWidth = DeviceModeLength(SheetWidth());
    }
    if (TwoSided) {
        // Two-sided printing bound on the short edge, unless the device mode
        // already names a two-sided binding (one chosen in the print dialog).
        const bool bound =
            mode.Declares(DM_DUPLEX) && (mode.Duplex == DMDUP_VERTICAL || mode.Duplex == DMDUP_HORIZONTAL);
        mode.Fields |= DM_DUPLEX;
        if (!bound)
            mode.Duplex = DMDUP_HORIZONTAL;
    }
    if (mode.Declares(DM_PAPERSIZE) && Paper != TQRPaperSize::Default)
        mode.PaperSize = PaperCode(Paper);
    mode.Fields |= DM_COPIES | DM_DEFAULTSOURCE | DM_ORIENTATION;
    mode.Copies = static_cast<std::int16_t>(std::clamp(CopyCount, 1, kDeviceModeMax));
    mode.DefaultSource = static_cast<std::int16_t>((mode.DefaultSource & kDriverBinBit) | BinCode(Bin));
    mode.Orientation = PageOrientation == poLandscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;

    Printer->SetPrinter(selected.Device, selected.Driver, selected.Port, mode);
}

void TPrinterSettings::SetCopies(int copies)
{
    if (DeviceModeDeclares(DM_COPIES) && copies >= 1 && copies <= kDeviceModeMax)
        CopyCount = copies;
}

void TPrinterSettings::SetOrientation(TPrinterOrientation orientation)
{
    if (DeviceModeDeclares(DM_ORIENTATION))
        PageOrientation = orientation;
}

void TPrinterSettings::SetOutputBin(TQRBin bin)
{
    if (DeviceModeDeclares(DM_DEFAULTSOURCE))
        Bin = bin;
}

void TPrinterSettings::SetPaperSize(TQRPaperSize size)
{
    if (size == TQRPaperSize::Default || Offers(size))
        Paper = size;
}

void TPrinterSettings::SetPaperWidth(int width)
{
    if (Paper == TQRPaperSize::Custom && width >= 1 && width <= kDeviceModeMax)
        StoredWidth = width;
}

void TPrinterSettings::SetPaperLength(int length)
{
    if (Paper == TQRPaperSize::Custom && length >= 1 && length <= kDeviceModeMax)
        StoredLength = length;
}

int TPrinterSettings::SheetWidth() const
{
    if (Paper == TQRPaperSize::Default || Paper == TQRPaperSize::Custom)
        return StoredWidth;
    return TableTenthsMm(PaperDimensions(Paper).Width);
}

int TPrinterSettings::SheetLength() const
{
    if (Paper == TQRPaperSize::Default || Paper == TQRPaperSize::Custom)
        return StoredLength;
    return TableTenthsMm(PaperDimensions(Paper).Length);
}

bool TPrinterSettings::Offers(TQRPaperSize size) const
{
    const int index = IndexOf(size);
    return index > 0 && index < kPaperSizeCount && OfferedSizes[static_cast<std::size_t>(index)];
}

}  // namespace qrp
