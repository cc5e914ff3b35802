#pragma once
// Extracts the words of a page: every character the player draws is kept with
// its place, size, font metrics and whether the clip or the page edge hides
// it (hidden text is marked, not dropped), then joined into words and lines.

#include <optional>
#include <span>
#include <vector>

#include <QFontMetricsF>
#include <QHash>

#include "platform/emf/player/emf_device.h"
#include "platform/emf/player/emf_player.h"
#include "platform/emf/player/text_layout.h"

namespace qrp::emf {

class TTextDevice : public TEmfDevice {
public:
    // page: the page's area on the device; characters beyond it are marked outside.
    explicit TTextDevice(const QRectF& page) : Page(page) {}

    void SetClip(const std::optional<QRegion>& clip) override { Clip = clip; }
    void FillPath(const QPainterPath&, const QBrush&, QPainter::CompositionMode) override {}
    void StrokePath(const QPainterPath&, const QPen&, QPainter::CompositionMode) override {}
    void DrawText(const TTextRun& run) override;
    void DrawImage(const QImage&, const QRectF&, const QTransform&, QPainter::CompositionMode, bool) override {}

    // The characters in drawing order.
    const std::vector<TPlacedGlyph>& Glyphs() const { return Placed; }
    // The characters as words and lines in reading order.
    TPageText Text() const { return AssembleText(Placed); }

private:
    // A font's metrics with the advances asked of it so far: pages draw
    // many runs in few fonts, and measuring a character shapes it.
    struct TFontMeasures {
        QFontMetricsF Metrics;
        QHash<QString, double> Advances;
    };
    TFontMeasures& MeasuresOf(const QFont& font);

    QRectF Page;
    QHash<QString, TFontMeasures> Fonts;  // by QFont::key()
    std::optional<QRegion> Clip;
    std::vector<TPlacedGlyph> Placed;
};

// Plays bytes (a whole metafile) onto a text device as PlayEmf does, the frame
// stretched onto target, and returns the page's words in target's units.
TPageText ExtractText(std::span<const std::uint8_t> bytes, const QRectF& target, const TProblemHandler& onProblem = {});

}  // namespace qrp::emf
