#pragma once
// The hidden loader window: it holds the report component with the empty
// report definition whose modal preview is the program's whole run, and shows
// the preview window when the component announces the preview.

#include <memory>
#include <string>

#include "component/qr_report.h"

namespace qrp {

class TPreviewHost;

class TQRPLoad {
public:
    TQRPLoad();
    ~TQRPLoad();

    void FormCreate();
    void QRReport1Preview(TQRPrinter* sender);

    TQRReport QRReport1;
    TPreviewHost* PreviewWindow() const { return Preview.get(); }

private:
    std::unique_ptr<TPreviewHost> Preview;
};

// Set before the preview starts; the viewer's open dialog clears it.
extern bool FirstStart;
// The directory of the program's executable, ending with '/'.
extern std::string InstallDir;

}  // namespace qrp
