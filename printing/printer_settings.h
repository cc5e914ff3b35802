#pragma once
// What the report printer knows of the selected printer: read from its
// capabilities and device mode, changed only as far as the device can take
// the change, and written back into the device mode before a document.
// Lengths are tenths of a millimetre.

#include <array>
#include <cstdint>
#include <string>

#include "printing/paper_sizes.h"

namespace qrp {

class TPrinter;

class TPrinterSettings {
public:
    TPrinter* BoundPrinter() const { return Printer; }
    // Binds the settings to a printer object (not owned) and, when it has a
    // printer installed, reads them from it.
    void SetBoundPrinter(TPrinter* printer);

    // Refreshes every field from the bound printer's selected printer.
    void ReadPrinterSettings();
    // Writes the fields into the selected printer's device mode and has the
    // printer object take it.
    void WriteDeviceMode();
    // Whether the selected printer's device mode declares every bit of field (DM_*).
    bool DeviceModeDeclares(std::uint32_t field) const;

    // Each setter leaves the value alone when the device cannot take the new one.
    int Copies() const { return CopyCount; }
    void SetCopies(int copies);
    bool Duplex() const { return TwoSided; }
    void SetDuplex(bool duplex) { TwoSided = duplex; }
    TPrinterOrientation Orientation() const { return PageOrientation; }
    void SetOrientation(TPrinterOrientation orientation);
    TQRBin OutputBin() const { return Bin; }
    void SetOutputBin(TQRBin bin);
    TQRPaperSize PaperSize() const { return Paper; }
    // Default is always taken, other sizes when the device offers them.
    void SetPaperSize(TQRPaperSize size);
    // The stored width and length, used for Default and Custom paper; set
    // only while the paper is Custom.
    int PaperWidth() const { return StoredWidth; }
    void SetPaperWidth(int width);
    int PaperLength() const { return StoredLength; }
    void SetPaperLength(int length);

    // The sheet: the table's size of the paper, or the stored one for Default and Custom.
    int SheetWidth() const;
    int SheetLength() const;
    // Whether the device offers the paper size; never Default, always Custom once read.
    bool Offers(TQRPaperSize size) const;

    const std::string& DeviceName() const { return Device; }
    const std::string& DriverName() const { return Driver; }
    const std::string& PortName() const { return Port; }
    int DpiX() const { return ResolutionX; }
    int DpiY() const { return ResolutionY; }
    // The unprintable margin at the left and top edge of the paper.
    int PrintOffsetLeft() const { return OffsetLeft; }
    int PrintOffsetTop() const { return OffsetTop; }

private:
    TPrinter* Printer = nullptr;
    std::string Device;
    std::string Driver;
    std::string Port;
    int CopyCount = 1;
    bool TwoSided = false;
    TPrinterOrientation PageOrientation = poPortrait;
    TQRBin Bin = TQRBin::First;
    TQRPaperSize Paper = TQRPaperSize::A4;
    std::array<bool, kPaperSizeCount> OfferedSizes {};  // by TQRPaperSize; Default stays false
    int StoredWidth = 0;
    int StoredLength = 0;
    int ResolutionX = 0;
    int ResolutionY = 0;
    int OffsetLeft = 0;
    int OffsetTop = 0;
};

}  // namespace qrp
