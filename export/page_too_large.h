#pragma once

#include <cstdint>
#include <string>

#include "report/qr_export_filter.h"

namespace qrp {

// A page whose picture would be larger than an image can hold at the resolution asked for.
inline EQRExportError PageTooLarge(std::int32_t pageNumber)
{
    return EQRExportError("page " + std::to_string(pageNumber) + " is too large to render at this resolution");
}

}  // namespace qrp
