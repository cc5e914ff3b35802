#pragma once
// How a report printer without a preview handler opens a preview: it makes an
// object of the program-wide DefaultPreviewInterface kind, which opens a window
// and hands it back. The base opens nothing; preview/ supplies the standard
// window, and the programs install it at start-up. Windows are handed back as
// QObject so that the report layer needs no widgets.

#include <functional>
#include <memory>

class QObject;

namespace qrp {

class TQRPrinter;

class TQRPreviewInterface {
public:
    virtual ~TQRPreviewInterface() = default;
    // Opens a preview of printer without waiting and returns its window, or none.
    virtual QObject* OpenPreview(TQRPrinter&) { return nullptr; }
    // Opens a preview and returns once it has closed: its window while it still
    // exists, else none.
    virtual QObject* OpenPreviewModal(TQRPrinter&) { return nullptr; }
};

// Makes the preview interface objects the report printer uses.
using TQRPreviewInterfaceClass = std::function<std::unique_ptr<TQRPreviewInterface>()>;

// The kind of preview interface report printers use; until a program installs
// another it makes the base, which opens nothing.
extern TQRPreviewInterfaceClass DefaultPreviewInterface;

}  // namespace qrp
