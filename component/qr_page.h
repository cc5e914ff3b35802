#pragma once
// The report component's page: paper size, orientation, the four margins, the
// columns and the space between them. Lengths are held in tenths of a
// millimetre and read and written in Units; the component that attaches
// itself as owner follows the page's size in screen pixels and is told when
// it must repaint or place its bands again. Writes the page cannot take are
// ignored without a message.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "component/qr_unit_base.h"
#include "platform/canvas/screen_resolution.h"
#include "printing/paper_sizes.h"

namespace qrp {

// The geometry values in their stored order.
enum class TQRPageValue : std::uint8_t { BottomMargin, Length, TopMargin, Width, LeftMargin, RightMargin, ColumnSpace };
constexpr int kPageValueCount = 7;

// The order in which multi-column bands fill the page.
enum class TQRColumnOrder : std::uint8_t { ColumnByColumn, RowByRow };

class TQRPage final : public TQRUnitBase {
public:
    // On a system that measures in U.S. units: Letter with half-inch margins,
    // in inches; otherwise A4 with 10 mm margins, in millimetres. Portrait,
    // one column, ruler shown, no owner yet.
    explicit TQRPage(int screenDpi = ScreenPixelsPerInch());

    // In Units. Length and Width are taken only while PaperSize is Custom.
    long double Value(TQRPageValue index) const;
    void SetValue(TQRPageValue index, long double value);

    long double BottomMargin() const { return Value(TQRPageValue::BottomMargin); }
    long double Length() const { return Value(TQRPageValue::Length); }
    long double TopMargin() const { return Value(TQRPageValue::TopMargin); }
    long double Width() const { return Value(TQRPageValue::Width); }
    long double LeftMargin() const { return Value(TQRPageValue::LeftMargin); }
    long double RightMargin() const { return Value(TQRPageValue::RightMargin); }
    long double ColumnSpace() const { return Value(TQRPageValue::ColumnSpace); }
    void SetBottomMargin(long double value) { SetValue(TQRPageValue::BottomMargin, value); }
    void SetLength(long double value) { SetValue(TQRPageValue::Length, value); }
    void SetTopMargin(long double value) { SetValue(TQRPageValue::TopMargin, value); }
    void SetWidth(long double value) { SetValue(TQRPageValue::Width, value); }
    void SetLeftMargin(long double value) { SetValue(TQRPageValue::LeftMargin, value); }
    void SetRightMargin(long double value) { SetValue(TQRPageValue::RightMargin, value); }
    void SetColumnSpace(long double value) { SetValue(TQRPageValue::ColumnSpace, value); }

    // A paper size from the table sets Width and Length (swapped in
    // landscape); Default and Custom keep them.
    TQRPaperSize PaperSize() const { return Paper; }
    void SetPaperSize(TQRPaperSize paperSize);
    // Applies the paper size again, so a table size turns with the page.
    TPrinterOrientation Orientation() const { return PageOrientation; }
    void SetOrientation(TPrinterOrientation orientation);

    // At least 1; 0 and negative counts are ignored.
    int Columns() const { return ColumnCount; }
    void SetColumns(int columns);
    TQRColumnOrder ColumnOrder() const { return Order; }
    void SetColumnOrder(TQRColumnOrder order) { Order = order; }
    // Whether the component paints its ruler in the current unit.
    bool Ruler() const { return ShowRuler; }
    void SetRuler(bool ruler);

    void SetUnits(TQRUnit units) override;

    // Gives the owner the page's size in pixels at the screen resolution and zoom.
    void SizeHostFromPage() override;
    // The seven values in tenths of a millimetre, in TQRPageValue order, taken
    // as they are whatever the paper size. A list of another length or with a
    // value that is not a finite number is ignored.
    void ReadStoredValues(std::span<const long double> values) override;
    std::vector<long double> WriteStoredValues() const override;

    // The width of one column in pixels: what the margins and the spaces
    // between columns leave of the page's width, shared out.
    int ColumnWidth() const;

private:
    long double& Stored(TQRPageValue index) { return Native[static_cast<std::size_t>(index)]; }
    long double Stored(TQRPageValue index) const { return Native[static_cast<std::size_t>(index)]; }
    // A length in tenths of a millimetre as whole screen pixels, halves to even.
    int PixelsOf(TQRDirection direction, long double native) const;
    void Repaint() const;
    void RelayoutBands() const;

    std::array<long double, kPageValueCount> Native {};
    TQRPaperSize Paper = TQRPaperSize::Default;
    TPrinterOrientation PageOrientation = poPortrait;
    int ColumnCount = 1;
    TQRColumnOrder Order = TQRColumnOrder::ColumnByColumn;
    bool ShowRuler = true;
};

}  // namespace qrp
