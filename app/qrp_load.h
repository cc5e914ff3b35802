#pragma once
// The hidden loader window: it holds the report component with the empty
// report definition whose modal preview is the program's whole run, and
// creates the viewer window when the component announces the preview.

#include <string>
#include <vector>

#include <QPointer>

#include "app/qrp_prew.h"
#include "component/qr_report.h"

namespace qrp {

class TQRPLoad {
public:
    // arguments: the command line without the program's own path, for the viewer.
    explicit TQRPLoad(std::vector<std::string> arguments = {});
    ~TQRPLoad();
    TQRPLoad(const TQRPLoad&) = delete;
    TQRPLoad& operator=(const TQRPLoad&) = delete;

    void FormCreate();
    void QRReport1Preview(TQRPrinter* sender);

    TQRReport QRReport1;
    // The viewer window while it is open.
    TQRPrew* Viewer() const { return QRPrew.data(); }

private:
    std::vector<std::string> Arguments;
    QPointer<TQRPrew> QRPrew;
};

// Set before the preview starts; the viewer's open dialog clears it.
extern bool FirstStart;
// The directory of the program's executable, ending with '/'.
extern std::string InstallDir;

}  // namespace qrp
