#pragma once
// The bundled sample report: the invoices a small Czech firm issued in one
// quarter, grouped by month with month totals and a grand total, laid out on
// A4 portrait pages at 96 pixels per inch and drawn through a canvas.

#include <cstdint>
#include <vector>

#include <QString>

namespace qrp {
class TCanvas;
}

namespace qrp::sample {

constexpr int kPageWidth = 794;    // 210 mm at 96 pixels per inch
constexpr int kPageHeight = 1123;  // 297 mm
constexpr int kPixelsPerInch = 96;

class TInvoiceReport {
public:
    // The same invoices every time, so the bundled files can be made again.
    TInvoiceReport();

    int PageCount() const { return static_cast<int>(Pages.size()); }
    // Draws page pageNumber (1..PageCount) on a canvas of kPageWidth × kPageHeight pixels.
    void DrawPage(TCanvas& canvas, int pageNumber) const;

private:
    struct TInvoice {
        QString Number, Customer, Date;
        std::int64_t Hellers;
    };
    enum TLineKind { lkMonth, lkInvoice, lkMonthTotal, lkGrandTotal };
    struct TLine {
        TLineKind Kind;
        QString Text;          // the month's name or the total's caption
        std::int64_t Hellers;  // totals
        int Invoice;           // index into Invoices
    };

    void Paginate(const std::vector<TLine>& lines);
    void DrawHeading(TCanvas& canvas, int pageNumber) const;
    void DrawColumnTitles(TCanvas& canvas, int top) const;
    int DrawLine(TCanvas& canvas, const TLine& line, int top) const;
    void DrawFooter(TCanvas& canvas, int pageNumber) const;

    std::vector<TInvoice> Invoices;
    std::vector<std::vector<TLine>> Pages;
};

// "12 345,00 Kč"
QString FormatCrowns(std::int64_t hellers);

}  // namespace qrp::sample
