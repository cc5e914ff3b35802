#pragma once
// Failures of the platform printer object, with the texts users see.

#include "platform/exceptions.h"

namespace qrp {

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

inline constexpr const char* kPrinterIndexOutOfRange = "Printer index out of range";
inline constexpr const char* kInvalidPrinter = "Printer selected is not valid";
inline constexpr const char* kPrinterOperationNotSupported = "Operation not supported on selected printer";
inline constexpr const char* kPrintingInProgress = "Printing in progress";
inline constexpr const char* kPrintingNotInProgress = "Printing not in progress";
inline constexpr const char* kNoOutputFile = "No output file is named for printing to a PDF file";

}  // namespace qrp
