#include "report/qr_preview_interface.h"

namespace qrp {

TQRPreviewInterfaceClass DefaultPreviewInterface = [] { return std::make_unique<TQRPreviewInterface>(); };

}  // namespace qrp
