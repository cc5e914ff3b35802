#pragma once
// Device modes and QPrinter settings, both ways.

#include "platform/printing/device_mode.h"

class QPrinter;
class QPrinterInfo;

namespace qrp {

// The settings a fresh QPrinter has for its printer, as a device mode.
TDeviceMode DeviceModeOf(const QPrinter& printer, const QPrinterInfo& info);

// Paper size and orientation as far as the device mode declares them; the
// margins become the device's smallest ones, so that the painter's origin is
// the top left of the printable area. Copies and duplex are job options
// (qt_print_job.h).
void ApplyDeviceMode(QPrinter& printer, const TDeviceMode& mode);

}  // namespace qrp
