#include "tests/support/ink_agreement.h"

#include <algorithm>
#include <vector>

#include <QPainter>

namespace qrp::test {

namespace {
constexpr std::size_t kRadius = 2;
constexpr double kInk = 0.85 * 255;

// Grey levels of the picture laid on white.
std::vector<bool> Ink(const QImage& picture)
{
    QImage onWhite(picture.size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    {
        QPainter painter(&onWhite);
        painter.drawImage(0, 0, picture);
    }
    const auto width = static_cast<std::size_t>(onWhite.width());
    std::vector<bool> ink(width * static_cast<std::size_t>(onWhite.height()));
    for (int y = 0; y < onWhite.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(onWhite.constScanLine(y));
        for (std::size_t x = 0; x < width; ++x) {
            const double grey = 0.299 * qRed(row[x]) + 0.587 * qGreen(row[x]) + 0.114 * qBlue(row[x]);
            ink[static_cast<std::size_t>(y) * width + x] = grey < kInk;
        }
    }
    return ink;
}

std::vector<bool> Dilated(const std::vector<bool>& ink, std::size_t width, std::size_t height)
{
    const auto at = [width](std::size_t x, std::size_t y) { return y * width + x; };
    const auto from = [](std::size_t v) { return v >= kRadius ? v - kRadius : 0; };
    std::vector<bool> rows(ink.size()), out(ink.size());
    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < width; ++x) {
            bool any = false;
            for (std::size_t dx = from(x); dx <= std::min(width - 1, x + kRadius) && !any; ++dx)
                any = ink[at(dx, y)];
            rows[at(x, y)] = any;
        }
    for (std::size_t y = 0; y < height; ++y)
        for (std::size_t x = 0; x < width; ++x) {
            bool any = false;
            for (std::size_t dy = from(y); dy <= std::min(height - 1, y + kRadius) && !any; ++dy)
                any = rows[at(x, dy)];
            out[at(x, y)] = any;
        }
    return out;
}

// The share of a's ink that b's dilated ink covers.
double Covered(const std::vector<bool>& a, const std::vector<bool>& bDilated)
{
    double ink = 0, covered = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i]) {
            ++ink;
            covered += bDilated[i] ? 1 : 0;
        }
    return ink == 0 ? 1 : covered / ink;
}
}  // namespace

TInkAgreement InkAgreement(const QImage& reference, const QImage& render)
{
    const QImage scaled = render.size() == reference.size()
                              ? render
                              : render.scaled(reference.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const auto width = static_cast<std::size_t>(reference.width());
    const auto height = static_cast<std::size_t>(reference.height());
    const auto a = Ink(reference), b = Ink(scaled);
    const bool aBlank = std::none_of(a.begin(), a.end(), [](bool v) { return v; });
    const bool bBlank = std::none_of(b.begin(), b.end(), [](bool v) { return v; });
    if (aBlank && bBlank)
        return {};
    if (aBlank || bBlank)
        return {aBlank ? 1.0 : 0.0, bBlank ? 1.0 : 0.0, 0};
    TInkAgreement result;
    result.Recall = Covered(a, Dilated(b, width, height));
    result.Precision = Covered(b, Dilated(a, width, height));
    const double sum = result.Recall + result.Precision;
    result.F1 = sum == 0 ? 0 : 2 * result.Recall * result.Precision / sum;
    return result;
}

}  // namespace qrp::test
