#pragma once
// The EMF player's device-context state machine. One object plays one
// metafile; the record handlers are grouped by family in player_*.cpp.
//
// Coordinates: logical units go through the world transform and the
// window/viewport mapping into the reference device's pixels, where GDI's
// pixel conventions apply (strokes on pixel centres, right and bottom edges
// exclusive); the frame mapping then carries them onto the output device.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include <QPainterPath>
#include <QPointF>
#include <QRegion>
#include <QSizeF>
#include <QTransform>

#include "platform/emf/emf_header.h"
#include "platform/emf/player/budget_device.h"
#include "platform/emf/player/drawing_budget.h"
#include "platform/emf/player/emf_device.h"
#include "platform/emf/player/emf_player.h"
#include "platform/emf/player/gdi_objects.h"
#include "platform/emf/player/record_reader.h"
#include "platform/emf/player/drawing_prices.h"
#include "platform/text/symbol_fonts.h"

namespace qrp::emf {

struct TDcState {
    TLogPen Pen;
    TLogBrush Brush;
    TLogFont Font;
    TPaletteRef Palette;  // none: the default palette
    QColor TextColor = Qt::black;
    QColor BkColor = Qt::white;
    std::uint32_t BkMode = 2;  // OPAQUE
    std::uint32_t TextAlign = 0;
    std::uint32_t PolyFillMode = 1;  // ALTERNATE
    std::uint32_t Rop2 = 13;         // R2_COPYPEN
    std::uint32_t ArcDirection = 1;  // AD_COUNTERCLOCKWISE
    std::uint32_t MapMode = 1;       // MM_TEXT
    std::uint32_t GraphicsMode = 1;  // GM_COMPATIBLE
    std::uint32_t StretchMode = 1;   // BLACKONWHITE
    float MiterLimit = 10;
    QPointF WindowOrg, ViewportOrg;
    QSizeF WindowExt {1, 1}, ViewportExt {1, 1};
    QTransform World;
    QPointF CurrentPosition;  // logical
    QPoint BrushOrigin;
    std::optional<QRegion> Clip;  // output coordinates; none: no clip
};

class TPlayer {
public:
    TPlayer(std::span<const std::uint8_t> bytes, TEmfDevice& device, const QRectF& target,
            const TProblemHandler& onProblem);
    void Play();
    TPageWork Work() const { return Budget.Work(); }

private:
    // One record: its index, offset and fields.
    struct TRecord {
        std::size_t Index;
        std::size_t Offset;
        std::uint32_t Type;
        TRecordReader Fields;  // the whole record, type and size included
    };

    void Dispatch(TRecord& r);
    void Problem(const TRecord& r, const std::string& what);

    // State (player.cpp).
    void SaveDc();
    void RestoreDc(TRecord& r, std::int32_t relative);
    void SetMapMode(std::uint32_t mode);
    void ApplyIsotropic();
    void SetWorldTransform(TRecord& r, const QTransform& transform, std::uint32_t mode);
    void UpdateTransform();
    QTransform ReadXForm(TRecord& r, std::size_t offset);

    // Objects (player_objects.cpp).
    void CreatePen(TRecord& r);
    void ExtCreatePen(TRecord& r);
    void CreateBrushIndirect(TRecord& r);
    void CreatePatternBrush(TRecord& r, bool monochrome);
    void CreateFont(TRecord& r);
    void CreatePalette(TRecord& r);
    void SetPaletteEntries(TRecord& r);
    void SelectObject(TRecord& r, std::uint32_t index);
    void DeleteObject(TRecord& r, std::uint32_t index);
    TGdiObject* ObjectSlot(TRecord& r, std::uint32_t index, bool creating);
    QColor Color(std::uint32_t colorRef) const;

    // Drawing (player_shapes.cpp).
    void Polyline16or32(TRecord& r, bool is16, bool closed, bool bezier, bool continueFromCurrent);
    void PolyPoly(TRecord& r, bool is16, bool closed);
    void PolyDraw(TRecord& r, bool is16);
    void BoxShape(TRecord& r, std::uint32_t type);
    void ArcShape(TRecord& r, std::uint32_t type);
    void AngleArc(TRecord& r);
    void LineTo(const QPointF& to);
    void SetPixel(TRecord& r);
    void GradientFill(TRecord& r);
    // A finished figure in reference-device coordinates: collected into the
    // open path, or drawn at once.
    void Emit(const QPainterPath& devicePath, bool fill, bool stroke);
    void FillDevicePath(const QPainterPath& devicePath, const QBrush& brush);
    void StrokeDevicePath(const QPainterPath& devicePath);
    std::optional<QPen> OutputPen() const;
    std::optional<QBrush> OutputBrush(const TLogBrush& brush);
    // A monochrome pattern in the text and background colours, or a null image
    // when the drawing budget refuses to colour it.
    QImage RecoloredPattern(const QImage& pattern);
    QPainter::CompositionMode Rop2Mode() const;
    std::vector<QPointF> ReadPointList(TRecord& r, std::size_t offset, std::uint32_t count, bool is16);
    QRectF DeviceBox(const QRectF& logical) const;

    // Paths (player_shapes.cpp).
    void BeginPath();
    void PathCommand(TRecord& r, std::uint32_t type);

    // Clipping and regions (player_clipping.cpp).
    void IntersectClipRect(TRecord& r, bool exclude);
    void ExtSelectClipRgn(TRecord& r);
    void OffsetClipRgn(TRecord& r);
    void SelectClipPath(TRecord& r);
    void CombineClip(const QRegion& region, std::uint32_t mode);
    void RegionRecord(TRecord& r, std::uint32_t type);
    std::optional<QRegion> ReadRegion(TRecord& r, std::size_t offset, std::uint32_t size, const QTransform& toOutput);
    // A rectangle, or the polygons of a path under a fill rule, as a region in
    // output pixels, cut to ClipArea; none when the budget refuses to build it.
    std::optional<QRegion> MappedRegion(const QRectF& rect, const QTransform& toOutput);
    std::optional<QRegion> PolygonRegion(const QList<QPolygonF>& polygons, Qt::FillRule rule);
    void ApplyClip();

    // Text (player_text.cpp).
    // The family a LOGFONT's face and character set are drawn with, and the
    // symbol face whose codes its text holds, if any.
    struct TFontChoice {
        QString Face;
        std::uint8_t CharSet = 0;
        QString Family;
        std::optional<TSymbolFace> Symbol;
        // Symbol drawn with a font of symbol codes: its glyphs are looked up by the codes.
        bool SymbolCodes = false;
    };
    const TFontChoice& ChosenFont();
    void ExtTextOut(TRecord& r, bool wide);
    void SmallTextOut(TRecord& r);
    void DrawTextRecord(TRecord& r, QPointF reference, const std::u16string& text, std::uint32_t options,
                        const QRectF& rect, const std::vector<QPointF>& advances);
    // The outlines of text placed character by character (output coordinates,
    // glyphs turned by angle degrees), added to the open path.
    void AddTextOutlines(const QString& text, const std::vector<QPointF>& positions, const QFont& font, double angle);

    // Bitmaps (player_bitmaps.cpp).
    void StretchDiBits(TRecord& r);
    void SetDiBitsToDevice(TRecord& r);
    void BitBlt(TRecord& r, std::uint32_t type);
    void AlphaBlend(TRecord& r);
    // How a decoded bitmap is to be drawn besides its raster operation.
    struct TBlitOptions {
        bool SourceAlpha = false;               // AlphaBlend with per-pixel alpha
        std::optional<QRgb> Transparent;        // TransparentBlt's colour key
        int ConstantAlpha = 255;                // AlphaBlend's constant alpha
        std::uint32_t MaskRecordOffset = 0;     // MaskBlt: where the mask's fields begin; 0 for none
    };
    void DrawBitmap(TRecord& r, std::size_t infoOffset, std::size_t infoSize, std::size_t bitsOffset,
                    std::size_t bitsSize, std::uint32_t usage, const QRectF& source, bool sourceFromBottom,
                    const QRectF& logicalDestination, std::uint32_t rop, const TBlitOptions& options);
    // Draws the source rectangle of image where toOutput maps it. A mask drawn
    // with SRCAND waits for the record after it: an image drawn with SRCPAINT
    // or SRCINVERT onto the same place makes one see-through picture with it.
    void Blit(const QImage& image, const QRectF& from, const QTransform& toOutput, std::uint32_t rop, bool smooth);
    void FlushPendingMask();
    void PatternBlt(const QRectF& logicalDestination, std::uint32_t rop);
    // The bitmap at the record's offsets, or a null image after reporting why not.
    QImage DecodeBitmap(TRecord& r, std::size_t infoOffset, std::size_t infoSize, std::size_t bitsOffset,
                        std::size_t bitsSize, std::uint32_t usage, bool keepAlpha);

    std::span<const std::uint8_t> Bytes;
    TProblemHandler OnProblem;
    TEmfHeader Header;
    QRectF Target;
    // Clip geometry is kept within the target widened by half its size on each
    // side: regions are pixel sets, and one as large as the records may ask for
    // would not fit in memory.
    QRectF ClipArea;
    QSizeF PageSize;  // the frame at 96 dpi, where the drawing budget measures areas
    TDrawingPrices Prices;
    TDrawingBudget Budget;
    TBudgetDevice Device;

    TDcState Dc;
    std::vector<TDcState> SavedStates;
    std::vector<TGdiObject> Objects;

    QTransform FrameToOutput;     // reference device → output
    QTransform LogicalToDevice;   // logical → reference device
    QTransform LogicalToOutput;   // both
    double ReferencePixelsPerMmX = 96 / 25.4;
    double ReferencePixelsPerMmY = 96 / 25.4;

    bool InPath = false;
    QPainterPath Path;  // reference device coordinates
    bool PathFinished = false;
    std::optional<QRegion> AppliedClip;  // the device's clip, set again only when Dc.Clip differs
    // The last monochrome pattern in the text and background colours, so that
    // a brush used many times is recoloured once.
    struct TRecoloredPattern {
        qint64 Source = 0;
        QRgb Foreground = 0, Background = 0;
        QImage Image;
    };
    TRecoloredPattern LastRecolored;
    std::optional<TFontChoice> LastFontChoice;
    // A mask blitted with SRCAND, not yet drawn (see Blit).
    struct TPendingMask {
        QImage Image;  // the source rectangle alone
        QTransform ToOutput;
        bool Smooth = false;
        std::optional<QRegion> Clip;
    };
    std::optional<TPendingMask> PendingMask;
};

}  // namespace qrp::emf
