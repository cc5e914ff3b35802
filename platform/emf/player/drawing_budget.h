#pragma once
// The drawing work one page may ask for. A few kilobytes of records can ask
// for hours of painting (thousands of page-sized fills, millions of curve
// segments, huge bitmaps); the player has each piece of work paid for here
// before it is done and stops the page at the first piece the budget refuses.

#include <algorithm>
#include <string>

#include <QSizeF>

namespace qrp::emf {

// Work in four measures. Painted pixels are counted on the page at 96 dpi,
// whatever the output's resolution, so a page is judged alike on every device.
struct TDrawingWork {
    double PaintedPixels = 0;  // area filled, stroked, blitted or covered by glyphs
    double DecodedPixels = 0;  // bitmap pixels decoded or recoloured: blit sources and pattern brushes
    double PathSegments = 0;   // path elements drawn, widened or made regions; clip rectangles applied
    double Glyphs = 0;
};

// The limits for a page of pageSize pixels at 96 dpi, far above any real
// page: the busiest page of the test corpus uses less than a tenth of each.
// Painted pixels may cover the page 32 times over, and at least 512 M of them
// (some 570 A4 pages) are allowed on pages smaller than posters.
inline TDrawingWork PageDrawingLimits(const QSizeF& pageSize)
{
    constexpr double kMebi = 1024.0 * 1024;
    return {.PaintedPixels = std::max(512 * kMebi, 32 * pageSize.width() * pageSize.height()),
            .DecodedPixels = 64 * kMebi,
            .PathSegments = 4 * kMebi,
            .Glyphs = 100000};
}

// The work a page did, and the limits it was held to.
struct TPageWork {
    TDrawingWork Done;
    TDrawingWork Limits;
};

class TDrawingBudget {
public:
    explicit TDrawingBudget(const TDrawingWork& limits) : Limits(limits) {}

    // Pays for work that fits every limit and says whether it did. Once a
    // piece has been refused every later one is too, so a page stops at one place.
    bool Spend(const TDrawingWork& work)
    {
        if (Exhausted())
            return false;
        const TDrawingWork total {Spent.PaintedPixels + work.PaintedPixels, Spent.DecodedPixels + work.DecodedPixels,
                                  Spent.PathSegments + work.PathSegments, Spent.Glyphs + work.Glyphs};
        // Written so that a total that is not a number is refused too.
        if (!(total.PaintedPixels <= Limits.PaintedPixels))
            Refused = "painted pixels";
        else if (!(total.DecodedPixels <= Limits.DecodedPixels))
            Refused = "decoded bitmap pixels";
        else if (!(total.PathSegments <= Limits.PathSegments))
            Refused = "path segments";
        else if (!(total.Glyphs <= Limits.Glyphs))
            Refused = "glyphs";
        else
            Spent = total;
        return !Exhausted();
    }

    // Refuses a piece of work too large for any page, whatever is left.
    void Refuse(const std::string& measure)
    {
        if (!Exhausted())
            Refused = measure;
    }

    bool Exhausted() const { return !Refused.empty(); }
    // The measure that ran out, e.g. "path segments"; empty while none has.
    const std::string& ExhaustedMeasure() const { return Refused; }
    TPageWork Work() const { return {Spent, Limits}; }

private:
    TDrawingWork Limits;
    TDrawingWork Spent;
    std::string Refused;
};

}  // namespace qrp::emf
