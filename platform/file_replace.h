#pragma once

#include <functional>
#include <string>

#include "platform/stream.h"

namespace qrp {

// Writes fileName through a temporary file beside it that is renamed over it
// once write has returned: a failure leaves an existing file as it was, and a
// file may be rewritten from its own open content. Raises EFCreateError with
// fileName when the file cannot be made; errors of write pass through.
void WriteFileReplacing(const std::string& fileName, const std::function<void(TStream&)>& write);

}  // namespace qrp
