#pragma once
// The printer settings a report component keeps with its form.

#include "printing/paper_sizes.h"

namespace qrp {

struct TQRPrinterSettings {
    int Copies = 1;
    bool Duplex = false;
    TQRBin OutputBin = TQRBin::Auto;
    int PrinterPosition = -1;  // index in the printer list; -1 is the system default printer
    int FirstPage = 0;         // 0: from the first page
    int LastPage = 0;          // 0: to the last page
};

// The form of the settings that is saved with a report component: copies,
// duplex, first and last page and paper source.
struct TQRReportPrinterSettings : TQRPrinterSettings {};

}  // namespace qrp
