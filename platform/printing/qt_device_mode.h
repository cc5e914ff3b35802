#pragma once
// Device modes and QPrinter settings, both ways.

#include "platform/printing/device_mode.h"

class QPrinter;
class QPrinterInfo;

namespace qrp {

// A QPrinter's settings as a device mode; info is null for the PDF file printer.
TDeviceMode DeviceModeOf(const QPrinter& printer, const QPrinterInfo& info);

// Paper size, orientation, copies, collation and duplex as far as the device
// mode declares them; the margins become the device's smallest ones, so that
// the painter's origin is the top left of the printable area. Documents are
// painted once whatever the copies: the queue makes them (qt_print_job.h).
void ApplyDeviceMode(QPrinter& printer, const TDeviceMode& mode);

}  // namespace qrp
