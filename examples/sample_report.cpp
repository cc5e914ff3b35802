#include "examples/sample_report.h"

#include <algorithm>
#include <array>

#include "platform/canvas/bitmap.h"
#include "platform/canvas/canvas.h"

namespace qrp::sample {

namespace {
// Page geometry in pixels: 15 mm margins, the body between heading and footer.
constexpr int kLeft = 57;
constexpr int kRight = kPageWidth - 57;
constexpr int kFirstBodyTop = 222;
constexpr int kBodyTop = 132;
constexpr int kBodyBottom = 1050;
constexpr int kFooterRule = 1068;

// Columns: invoice number, customer and date from their left edge; amounts end at the right.
constexpr int kNumberColumn = kLeft + 8;
constexpr int kCustomerColumn = kLeft + 120;
constexpr int kDateColumn = kLeft + 440;
constexpr int kAmountRight = kRight - 8;

constexpr TColor kInk = RGB(33, 33, 33);
constexpr TColor kAccent = RGB(22, 66, 122);
constexpr TColor kHeaderFill = RGB(222, 228, 238);
constexpr TColor kMonthFill = RGB(242, 245, 250);
constexpr TColor kRule = RGB(200, 200, 200);

const std::array kMonths = {QStringLiteral("Leden"), QStringLiteral("Únor"), QStringLiteral("Březen")};
const std::array kMonthsOf = {QStringLiteral("leden"), QStringLiteral("únor"), QStringLiteral("březen")};
constexpr std::array kInvoicesInMonth = {34, 31, 36};
constexpr std::array kDaysInMonth = {31, 29, 31};  // 2024

const std::array kCustomers = {
    QStringLiteral("Stavebniny Kříž s.r.o."),     QStringLiteral("Pekárna U Zlatého klasu"),
    QStringLiteral("Elektro Šťastný a.s."),       QStringLiteral("Květinářství Růžička"),
    QStringLiteral("Autoservis Dvořák"),          QStringLiteral("Tiskárna Čechová & spol."),
    QStringLiteral("Lékárna U Anděla"),           QStringLiteral("Truhlářství Hořejší"),
    QStringLiteral("Kavárna Na Nábřeží"),         QStringLiteral("Železářství Procházka"),
    QStringLiteral("Zahradnictví Jelínek s.r.o."), QStringLiteral("Řeznictví Kučera"),
};

int HeightOf(int kind)
{
    constexpr std::array kHeights = {30, 21, 30, 40};  // month, invoice, month total, grand total
    return kHeights[static_cast<std::size_t>(kind)];
}

// A small linear congruential generator: the same invoices on every run.
class TRandom {
public:
    std::uint32_t Next(std::uint32_t below)
    {
        State = State * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<std::uint32_t>((State >> 33) % below);
    }

private:
    std::uint64_t State = 20240331;
};

void PaintLogo(TCanvas& canvas)
{
    canvas.Pen.Color = kAccent;
    canvas.Brush.Color = kAccent;
    canvas.Ellipse(0, 0, 64, 64);
    canvas.Pen.Color = RGB(240, 160, 40);
    canvas.Pen.Width = 3;
    canvas.Brush.Style = bsClear;
    canvas.Ellipse(6, 6, 58, 58);
    canvas.Font.Name = "Arial";
    canvas.Font.Height = -24;
    canvas.Font.Style = fsBold;
    canvas.Font.Color = clWhite;
    const QString initials = QStringLiteral("NS");
    canvas.TextOut((64 - canvas.TextWidth(initials)) / 2, (64 - canvas.TextHeight(initials)) / 2, initials);
}

void SetFont(TCanvas& canvas, int height, TFontStyles style = 0, TColor color = kInk)
{
    canvas.Font.Name = "Arial";
    canvas.Font.CharSet = EASTEUROPE_CHARSET;
    canvas.Font.Height = height;
    canvas.Font.Style = style;
    canvas.Font.Color = color;
}

void RightAligned(TCanvas& canvas, int right, int y, const QString& text)
{
    canvas.TextOut(right - canvas.TextWidth(text), y, text);
}

// A one-pixel horizontal rule from left to right (exclusive) at y.
void Rule(TCanvas& canvas, int left, int right, int y, TColor color)
{
    canvas.Pen.Color = color;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = psSolid;
    canvas.MoveTo(left, y);
    canvas.LineTo(right, y);
}
}  // namespace

QString FormatCrowns(std::int64_t hellers)
{
    const bool negative = hellers < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(hellers) : static_cast<std::uint64_t>(hellers);
    QString crowns = QString::number(magnitude / 100);
    for (qsizetype at = crowns.size() - 3; at > 0; at -= 3)
        crowns.insert(at, QChar(' '));
    return (negative ? QStringLiteral("-") : QString()) + crowns + QStringLiteral(",%1 Kč").arg(magnitude % 100, 2, 10, QChar('0'));
}

TInvoiceReport::TInvoiceReport()
{
    TRandom random;
    std::vector<TLine> lines;
    std::int64_t grandTotal = 0;
    for (std::size_t month = 0; month < kMonths.size(); ++month) {
        lines.push_back({lkMonth, kMonths[month] + QStringLiteral(" 2024"), 0, 0});
        std::vector<int> days;
        for (int i = 0; i < kInvoicesInMonth[month]; ++i)
            days.push_back(1 + static_cast<int>(random.Next(static_cast<std::uint32_t>(kDaysInMonth[month]))));
        std::sort(days.begin(), days.end());
        std::int64_t monthTotal = 0;
        for (const int day : days) {
            // Whole crowns mostly, now and then with fifty hellers.
            const std::int64_t hellers = (1200 + random.Next(184000)) * 100 + (random.Next(4) == 0 ? 50 : 0);
            const int number = static_cast<int>(Invoices.size()) + 1;
            Invoices.push_back({QStringLiteral("FV-2024-%1").arg(number, 4, 10, QChar('0')),
                                kCustomers[random.Next(kCustomers.size())],
                                QStringLiteral("%1. %2. 2024").arg(day).arg(month + 1), hellers});
            lines.push_back({lkInvoice, {}, 0, number - 1});
            monthTotal += hellers;
        }
        lines.push_back({lkMonthTotal, QStringLiteral("Celkem za ") + kMonthsOf[month], monthTotal, 0});
        grandTotal += monthTotal;
    }
    lines.push_back({lkGrandTotal, QStringLiteral("Celkem za 1. čtvrtletí 2024"), grandTotal, 0});
    Paginate(lines);
}

void TInvoiceReport::Paginate(const std::vector<TLine>& lines)
{
    Pages.emplace_back();
    int y = kFirstBodyTop;
    for (const TLine& line : lines) {
        // A month's heading stays with its first invoice.
        const int needed = HeightOf(line.Kind) + (line.Kind == lkMonth ? HeightOf(lkInvoice) : 0);
        if (y + needed > kBodyBottom) {
            Pages.emplace_back();
            y = kBodyTop;
        }
        Pages.back().push_back(line);
        y += HeightOf(line.Kind);
    }
}

void TInvoiceReport::DrawPage(TCanvas& canvas, int pageNumber) const
{
    canvas.Brush.Style = bsClear;
    DrawHeading(canvas, pageNumber);
    int top = pageNumber == 1 ? kFirstBodyTop : kBodyTop;
    for (const TLine& line : Pages.at(static_cast<std::size_t>(pageNumber - 1)))
        top = DrawLine(canvas, line, top);
    DrawFooter(canvas, pageNumber);
}

void TInvoiceReport::DrawHeading(TCanvas& canvas, int pageNumber) const
{
    TBitmap logo(64, 64);
    PaintLogo(logo.Canvas());
    if (pageNumber == 1) {
        canvas.Draw(kLeft, 40, logo);
        SetFont(canvas, -19, fsBold, kAccent);
        canvas.TextOut(kLeft + 80, 42, QStringLiteral("Novák & syn s.r.o."));
        SetFont(canvas, -12);
        canvas.TextOut(kLeft + 80, 68, QStringLiteral("Vinohradská 1234/56, 120 00 Praha 2"));
        canvas.TextOut(kLeft + 80, 84, QStringLiteral("IČO: 12345678, DIČ: CZ12345678"));
        RightAligned(canvas, kRight, 68, QStringLiteral("Vytištěno 2. 4. 2024 9:30"));
        SetFont(canvas, -27, fsBold);
        canvas.TextOut(kLeft, 128, QStringLiteral("Přehled vydaných faktur"));
        SetFont(canvas, -13, 0, RGB(90, 90, 90));
        canvas.TextOut(kLeft, 166, QStringLiteral("Období: 1. 1. 2024 – 31. 3. 2024, všechny částky včetně DPH"));
        DrawColumnTitles(canvas, kFirstBodyTop - 26);
    } else {
        canvas.StretchDraw({kLeft, 40, kLeft + 32, 72}, logo);
        SetFont(canvas, -15, fsBold, kAccent);
        canvas.TextOut(kLeft + 44, 47, QStringLiteral("Přehled vydaných faktur – pokračování"));
        SetFont(canvas, -12);
        RightAligned(canvas, kRight, 50, QStringLiteral("Novák & syn s.r.o."));
        DrawColumnTitles(canvas, kBodyTop - 26);
    }
}

void TInvoiceReport::DrawColumnTitles(TCanvas& canvas, int top) const
{
    canvas.Pen.Color = kAccent;
    canvas.Brush.Style = bsSolid;
    canvas.Brush.Color = kHeaderFill;
    canvas.Rectangle(kLeft, top, kRight, top + 26);
    canvas.Brush.Style = bsClear;
    SetFont(canvas, -13, fsBold, kAccent);
    const int y = top + (26 - canvas.TextHeight("Č")) / 2;
    canvas.TextOut(kNumberColumn, y, QStringLiteral("Číslo"));
    canvas.TextOut(kCustomerColumn, y, QStringLiteral("Odběratel"));
    canvas.TextOut(kDateColumn, y, QStringLiteral("Datum"));
    RightAligned(canvas, kAmountRight, y, QStringLiteral("Částka"));
}

int TInvoiceReport::DrawLine(TCanvas& canvas, const TLine& line, int top) const
{
    const int height = HeightOf(line.Kind);
    switch (line.Kind) {
    case lkMonth: {
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = kMonthFill;
        canvas.FillRect({kLeft, top + 4, kRight, top + height});
        canvas.Brush.Style = bsClear;
        SetFont(canvas, -14, fsBold, kAccent);
        canvas.TextOut(kNumberColumn, top + 4 + (height - 4 - canvas.TextHeight(line.Text)) / 2, line.Text);
        break;
    }
    case lkInvoice: {
        const TInvoice& invoice = Invoices[static_cast<std::size_t>(line.Invoice)];
        SetFont(canvas, -13);
        const int y = top + (height - canvas.TextHeight(invoice.Number)) / 2;
        canvas.TextOut(kNumberColumn, y, invoice.Number);
        // Long names stop at the date column.
        canvas.TextRect({kCustomerColumn, top, kDateColumn - 12, top + height}, kCustomerColumn, y, invoice.Customer);
        canvas.TextOut(kDateColumn, y, invoice.Date);
        RightAligned(canvas, kAmountRight, y, FormatCrowns(invoice.Hellers));
        Rule(canvas, kLeft, kRight, top + height - 1, kRule);
        break;
    }
    case lkMonthTotal: {
        Rule(canvas, kDateColumn, kRight, top + 2, kInk);
        SetFont(canvas, -13, fsBold);
        const int y = top + (height - canvas.TextHeight(line.Text)) / 2;
        RightAligned(canvas, kDateColumn - 12, y, line.Text);
        RightAligned(canvas, kAmountRight, y, FormatCrowns(line.Hellers));
        break;
    }
    case lkGrandTotal: {
        Rule(canvas, kLeft, kRight, top + 4, kInk);
        Rule(canvas, kLeft, kRight, top + 6, kInk);
        SetFont(canvas, -16, fsBold, kAccent);
        const int y = top + 6 + (height - 6 - canvas.TextHeight(line.Text)) / 2;
        canvas.TextOut(kNumberColumn, y, line.Text);
        RightAligned(canvas, kAmountRight, y, FormatCrowns(line.Hellers));
        break;
    }
    }
    return top + height;
}

void TInvoiceReport::DrawFooter(TCanvas& canvas, int pageNumber) const
{
    Rule(canvas, kLeft, kRight, kFooterRule, kAccent);
    SetFont(canvas, -11, 0, RGB(90, 90, 90));
    canvas.TextOut(kLeft, kFooterRule + 8, QStringLiteral("Novák & syn s.r.o. · Přehled vydaných faktur"));
    RightAligned(canvas, kRight, kFooterRule + 8, QStringLiteral("Stránka %1 / %2").arg(pageNumber).arg(PageCount()));
}

}  // namespace qrp::sample
