#pragma once
// Printers described in code, for tests and tools that need exact
// capabilities (a device without DM_ORIENTATION, given paper codes, no
// physical size, ...). Documents are kept as one QPicture per page.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QPicture>

#include "platform/printing/printer_backend.h"

namespace qrp {

struct TScriptedPrinter {
    TPrinterInfo Info;
    std::optional<TDeviceMode> DefaultMode;  // empty: the driver has none to give
    TPrinterCapabilities Capabilities;       // the same whatever the device mode
};

struct TScriptedDocument {
    std::string Device;
    std::string Title;
    std::optional<TDeviceMode> Mode;  // as the printer object passed it
    std::vector<QPicture> Pages;      // the finished pages
    bool Ended = false;
    bool Aborted = false;
};

class TScriptedPrinterBackend : public TPrinterBackend {
public:
    explicit TScriptedPrinterBackend(std::vector<TScriptedPrinter> printers, int defaultIndex = -1);

    TPrinterList EnumeratePrinters() override;
    std::optional<TDeviceMode> DefaultDeviceMode(const TPrinterInfo& printer) override;
    std::optional<TPrinterCapabilities> Capabilities(const TPrinterInfo& printer,
                                                     const std::optional<TDeviceMode>& mode) override;
    std::unique_ptr<TPrintJob> StartJob(const TPrinterInfo& printer, const std::optional<TDeviceMode>& mode,
                                        const std::string& title) override;

    // Every document started, in order; a document's pages grow as it prints.
    const std::vector<std::shared_ptr<TScriptedDocument>>& Documents() const { return Started; }

private:
    const TScriptedPrinter* Find(const TPrinterInfo& printer) const;

    std::vector<TScriptedPrinter> Printers;
    int DefaultIndex;
    std::vector<std::shared_ptr<TScriptedDocument>> Started;
};

}  // namespace qrp
