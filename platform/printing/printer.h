#pragma once
// The platform printer object: the installed printers, the selected one with
// its device mode, what the device can do, and the document being printed.
// One shared instance serves the application (ApplicationPrinter); each
// report printer makes its own.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/printing/device_mode.h"
#include "platform/printing/printer_backend.h"

class QPainter;

namespace qrp {

class TCanvas;

struct TPrinterSelection {
    std::string Device;
    std::string Driver;
    std::string Port;
    std::optional<TDeviceMode> DeviceMode;
};

// Failures raise EPrinter (platform/printing/printer_error.h).
class TPrinter {
public:
    // Over the installed back end (PrinterBackend()), or over the given one.
    // The default printer is selected, if any printer is installed.
    TPrinter();
    explicit TPrinter(std::shared_ptr<TPrinterBackend> backend);
    // A document still in progress is aborted, not sent half-done.
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    const std::vector<TPrinterInfo>& Printers() const { return List; }
    int PrinterCount() const { return static_cast<int>(List.size()); }
    // The selected printer's position in the list; -1 while none is installed.
    int PrinterIndex() const { return Index; }
    // -1 selects the system default printer (the first printer when the
    // system names none). Fetches the printer's default device mode.
    void SetPrinterIndex(int index);

    TPrinterSelection GetPrinter() const;
    // Selects the named printer, adding it to the list when it is missing, and
    // takes deviceMode as its device mode; with none, fetches the default.
    void SetPrinter(const std::string& device, const std::string& driver, const std::string& port,
                    std::optional<TDeviceMode> deviceMode);
    // The selected printer's device mode; nullptr when it has none.
    const TDeviceMode* DeviceMode() const { return Mode ? &*Mode : nullptr; }

    // DMORIENT_PORTRAIT or DMORIENT_LANDSCAPE, through the device mode.
    std::int16_t Orientation() const;
    void SetOrientation(std::int16_t orientation);
    int Copies() const;
    // 1 to 32767, what the device mode holds.
    void SetCopies(int copies);

    // What the selected printer can do with its device mode, in device pixels.
    int PixelsPerInchX();
    int PixelsPerInchY();
    int PageWidth();   // printable width
    int PageHeight();  // printable height
    // Empty when the device does not say.
    std::optional<TPixelSize> PhysicalPageSize();
    std::optional<TPixelOffset> PrintingOffset();
    const std::vector<std::int16_t>& PaperCodes();

    // The document title printing systems show.
    std::string Title;
    // Starts a document with its first page.
    void BeginDoc();
    void NewPage();
    // Ends the last page and sends the document.
    void EndDoc();
    // Drops the document.
    void Abort();
    bool Printing() const { return Job != nullptr; }
    bool Aborted() const { return WasAborted; }
    // The current page's painter; nullptr while no document is in progress.
    QPainter* Painter();
    // A canvas on the pages of the document in progress: the same object from
    // BeginDoc to EndDoc or Abort, at the device's resolution.
    TCanvas& Canvas();

private:
    class TPrinterCanvas;

    void Select(int index, std::optional<TDeviceMode> deviceMode);
    const TPrinterInfo& Selected() const;
    const TPrinterCapabilities& Capabilities();
    const TDeviceMode& RequiredMode() const;
    void CheckNotPrinting() const;
    void CheckPrinting() const;
    void FinishJob(bool abort);

    std::shared_ptr<TPrinterBackend> Backend;
    std::vector<TPrinterInfo> List;
    int DefaultIndex = -1;
    int Index = -1;
    std::optional<TDeviceMode> Mode;
    std::optional<TPrinterCapabilities> CachedCapabilities;
    std::unique_ptr<TPrintJob> Job;
    std::unique_ptr<TPrinterCanvas> JobCanvas;
    bool WasAborted = false;
};

// The application's shared printer object, over the installed back end;
// installing another back end replaces it.
TPrinter& ApplicationPrinter();

// Selects the printer's selected printer again with its driver's default
// device mode.
void ReselectDefaults(TPrinter& printer);

}  // namespace qrp
