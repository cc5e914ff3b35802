#pragma once

#include "platform/exceptions.h"

namespace qrp {

// A report file whose layout is damaged: a header, record chain or page
// record that the format cannot hold. The text says what and where.
class EReportFileError : public Exception {
public:
    using Exception::Exception;
};

}  // namespace qrp
