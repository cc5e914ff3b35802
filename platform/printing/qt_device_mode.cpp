#include "platform/printing/qt_device_mode.h"

#include <algorithm>
#include <limits>

#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include "platform/rounding.h"

namespace qrp {

namespace {
constexpr std::int16_t kCustomPaperCode = 256;

std::int16_t TenthsOfMillimetre(qreal millimetres)
{
    const std::int64_t tenths = Round(static_cast<long double>(millimetres) * 10);
    return static_cast<std::int16_t>(std::clamp<std::int64_t>(tenths, 0, std::numeric_limits<std::int16_t>::max()));
}

std::int16_t DuplexCode(QPrinter::DuplexMode duplex)
{
    switch (duplex) {
    case QPrinter::DuplexNone: return DMDUP_SIMPLEX;
    case QPrinter::DuplexShortSide: return DMDUP_HORIZONTAL;
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto: return DMDUP_VERTICAL;
    }
    return DMDUP_SIMPLEX;
}

// The paper the device mode names: a known code, else its width and length,
// else the printer's current paper.
QPageSize PaperOf(const TDeviceMode& mode, const QPageSize& current)
{
    if (mode.Declares(DM_PAPERSIZE) && mode.PaperSize != kCustomPaperCode) {
        const QPageSize::PageSizeId id = QPageSize::id(mode.PaperSize);
        return id == QPageSize::Custom ? current : QPageSize(id);
    }
    if (mode.Declares(DM_PAPERWIDTH | DM_PAPERLENGTH) && mode.PaperWidth > 0 && mode.PaperLength > 0)
        return QPageSize(QSizeF(mode.PaperWidth / 10.0, mode.PaperLength / 10.0), QPageSize::Millimeter);
    return current;
}
}  // namespace

TDeviceMode DeviceModeOf(const QPrinter& printer, const QPrinterInfo& info)
{
    const QPageLayout layout = printer.pageLayout();
    const QSizeF paper = layout.pageSize().size(QPageSize::Millimeter);
    TDeviceMode mode;
    mode.Fields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_COLLATE;
    mode.Orientation = layout.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    mode.PaperSize = static_cast<std::int16_t>(layout.pageSize().windowsId());
    mode.PaperWidth = TenthsOfMillimetre(paper.width());
    mode.PaperLength = TenthsOfMillimetre(paper.height());
    mode.Copies =
        static_cast<std::int16_t>(std::clamp(printer.copyCount(), 1, int {std::numeric_limits<std::int16_t>::max()}));
    mode.Collate = printer.collateCopies() ? DMCOLLATE_TRUE : DMCOLLATE_FALSE;
    // A file printer takes any paper size.
    if (info.isNull() || info.supportsCustomPageSizes())
        mode.Fields |= DM_PAPERWIDTH | DM_PAPERLENGTH;
    if (!info.isNull() && info.supportedDuplexModes().size() > 1) {
        mode.Fields |= DM_DUPLEX;
        mode.Duplex = DuplexCode(printer.duplex());
    }
    return mode;
}

void ApplyDeviceMode(QPrinter& printer, const TDeviceMode& mode)
{
    const QPageLayout current = printer.pageLayout();
    // Setting the paper first has the printer work out its smallest margins for it.
    printer.setPageSize(PaperOf(mode, current.pageSize()));
    QPageLayout layout = printer.pageLayout();
    if (mode.Declares(DM_ORIENTATION))
        layout.setOrientation(mode.Orientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
    layout.setMargins(layout.minimumMargins());
    printer.setPageLayout(layout);
    if (mode.Declares(DM_COPIES))
        printer.setCopyCount(std::max<int>(mode.Copies, 1));
    if (mode.Declares(DM_COLLATE))
        printer.setCollateCopies(mode.Collate != DMCOLLATE_FALSE);
    if (mode.Declares(DM_DUPLEX))
        printer.setDuplex(mode.Duplex == DMDUP_VERTICAL     ? QPrinter::DuplexLongSide
                          : mode.Duplex == DMDUP_HORIZONTAL ? QPrinter::DuplexShortSide
                                                            : QPrinter::DuplexNone);
}

}  // namespace qrp
