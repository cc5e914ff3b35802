#pragma once
// What the printer object needs of a printing system: the installed printers,
// a printer's default device mode, its capabilities under a device mode, and
// print jobs. The Qt/CUPS back end serves real printers; a scripted one
// serves printers described in code with exact capabilities.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/printing/device_mode.h"

class QPainter;

namespace qrp {

struct TPrinterInfo {
    std::string Device;
    std::string Driver;
    std::string Port;
};

struct TPrinterList {
    std::vector<TPrinterInfo> Printers;
    int DefaultIndex = -1;  // -1 when the system names no default
};

struct TPixelSize {
    int Width = 0;
    int Height = 0;
    bool operator==(const TPixelSize&) const = default;
};

struct TPixelOffset {
    int X = 0;
    int Y = 0;
    bool operator==(const TPixelOffset&) const = default;
};

// What a printer can do with one device mode, in device pixels.
struct TPrinterCapabilities {
    int PixelsPerInchX = 0;
    int PixelsPerInchY = 0;
    TPixelSize Printable;                       // the area the device can print on
    std::optional<TPixelSize> PhysicalPage;     // the whole sheet; empty when the device does not say
    std::optional<TPixelOffset> PrintingOffset; // top left of the printable area on the sheet; likewise
    std::vector<std::int16_t> PaperCodes;       // the paper sizes the device takes
};

// One document on its way to a printer. The painter of a page stays valid
// until NewPage, End or Abort.
class TPrintJob {
public:
    virtual ~TPrintJob() = default;
    virtual QPainter& PagePainter() = 0;
    virtual void NewPage() = 0;
    // Sends the document.
    virtual void End() = 0;
    // Drops the document.
    virtual void Abort() = 0;
};

class TPrinterBackend {
public:
    virtual ~TPrinterBackend() = default;
    virtual TPrinterList EnumeratePrinters() = 0;
    // Empty when the printer is unknown to the back end.
    virtual std::optional<TDeviceMode> DefaultDeviceMode(const TPrinterInfo& printer) = 0;
    virtual std::optional<TPrinterCapabilities> Capabilities(const TPrinterInfo& printer,
                                                             const std::optional<TDeviceMode>& mode) = 0;
    // Starts a document whose first page is ready for drawing; empty when the
    // printer does not take it.
    virtual std::unique_ptr<TPrintJob> StartJob(const TPrinterInfo& printer, const std::optional<TDeviceMode>& mode,
                                                const std::string& title) = 0;
};

// The back end new printer objects use: the Qt/CUPS one unless another was
// installed. Installing nullptr restores the Qt/CUPS one.
std::shared_ptr<TPrinterBackend> PrinterBackend();
void SetPrinterBackend(std::shared_ptr<TPrinterBackend> backend);

}  // namespace qrp
