// Writes examples/sample.qrp: a small three-page A4 report (a title, a table
// with ruled lines and a footer on each page), recorded as page recordings at
// 96 pixels per inch and stored compressed.
//
//   make-sample-report OUT.qrp

#include <cstdio>
#include <exception>
#include <memory>
#include <string>

#include "platform/emf/emf_writer.h"
#include "platform/emf/metafile.h"
#include "report/qr_page_list.h"

namespace {

using qrp::emf::TEmfWriter;
using qrp::emf::TLogFont;

constexpr std::int32_t kA4Width = 794;    // 210 mm at 96 per inch
constexpr std::int32_t kA4Height = 1123;  // 297 mm
constexpr std::int32_t kPages = 3;
constexpr std::int32_t kRowsPerPage = 20;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kGrey = 0xD8D8D8;  // COLORREF: 0x00BBGGRR

std::u16string Utf16(const std::string& ascii) { return {ascii.begin(), ascii.end()}; }

qrp::TMetafile RecordPage(std::int32_t pageNumber)
{
    TEmfWriter page(kA4Width, kA4Height);
    page.SetBkModeTransparent();
    const std::uint32_t titleFont = page.CreateFont(TLogFont {-27, 700, false, false, 238, u"Arial"});
    const std::uint32_t bodyFont = page.CreateFont(TLogFont {-13, 400, false, false, 238, u"Arial"});
    const std::uint32_t thinPen = page.CreatePen(qrp::emf::PS_SOLID, 1, kBlack);
    const std::uint32_t headerBrush = page.CreateSolidBrush(kGrey);

    page.SelectObject(titleFont);
    page.TextOut(38, 38, u"P\u0159ehled faktur");  // "Přehled faktur"

    page.SelectObject(thinPen);
    page.SelectObject(headerBrush);
    page.Rectangle({38, 95, 756, 121});
    page.SelectObject(bodyFont);
    page.TextOut(45, 100, u"\u010C\u00EDslo");  // "Číslo"
    page.TextOut(150, 100, u"Odb\u011Bratel");   // "Odběratel"
    page.TextOut(620, 100, u"\u010C\u00E1stka");  // "Částka"
    for (std::int32_t row = 0; row < kRowsPerPage; ++row) {
        const std::int32_t y = 121 + row * 24;
        const std::int32_t number = (pageNumber - 1) * kRowsPerPage + row + 1;
        page.TextOut(45, y + 5, Utf16(std::to_string(2026000 + number)));
        page.TextOut(150, y + 5, Utf16("Customer " + std::to_string(number)));
        page.TextOut(620, y + 5, Utf16(std::to_string(number * 137 % 10000) + ",00"));
        page.MoveTo(38, y + 24);
        page.LineTo(756, y + 24);
    }
    page.TextOut(360, 1070, Utf16("Str") + u"\u00E1nka " + Utf16(std::to_string(pageNumber) + " / " + std::to_string(kPages)));
    return qrp::TMetafile(page.Finish());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: make-sample-report OUT.qrp\n", stderr);
        return 2;
    }
    try {
        qrp::TQRPageList document;
        document.SetCompression(true);
        document.AttachStream(std::make_unique<qrp::TQRStream>(qrp::TQRStream::kDefaultSpillLimit));
        for (std::int32_t page = 1; page <= kPages; ++page)
            document.AddPage(RecordPage(page));
        document.Finish();
        document.WriteToFile(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "make-sample-report: %s\n", error.what());
        return 1;
    }
    return 0;
}
