#pragma once
// The standard preview interface: it opens the default preview window
// (TQRStandardPreview) on a report printer. UseStandardPreview makes it the
// program's DefaultPreviewInterface; the programs call it at start-up.

#include "report/qr_preview_interface.h"

namespace qrp {

class TQRStandardPreviewInterface : public TQRPreviewInterface {
public:
    // The window, owned by the application and freed when it closes.
    QObject* OpenPreview(TQRPrinter& printer) override;
    // Returns once the window has closed, when it is gone: none.
    QObject* OpenPreviewModal(TQRPrinter& printer) override;
};

void UseStandardPreview();

}  // namespace qrp
