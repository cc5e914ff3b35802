// Bitmap records: the bitmap decoded, its source rectangle stretched onto the
// destination, raster operations; blits without a source fill with the brush.

#include <cmath>

#include "platform/emf/player/dib.h"
#include "platform/emf/player/masked_images.h"
#include "platform/emf/emf_records.h"
#include "platform/emf/player/player.h"

namespace qrp::emf {

namespace {
constexpr std::uint32_t kNoOperation = 0x00AA0029;  // the destination left as it is

QPainter::CompositionMode SourceMode(std::uint32_t rop)
{
    switch (rop) {
    case SRCAND: return QPainter::RasterOp_SourceAndDestination;
    case SRCPAINT: return QPainter::RasterOp_SourceOrDestination;
    case SRCINVERT: return QPainter::RasterOp_SourceXorDestination;
    case NOTSRCCOPY: return QPainter::RasterOp_NotSource;
    case SRCERASE: return QPainter::RasterOp_SourceAndNotDestination;
    case NOTSRCERASE: return QPainter::RasterOp_NotSourceAndNotDestination;
    case MERGEPAINT: return QPainter::RasterOp_NotSourceOrDestination;
    default: return QPainter::CompositionMode_SourceOver;
    }
}

// Whether a raster operation reads the source bitmap at all.
bool UsesSource(std::uint32_t rop) { return (((rop >> 2) ^ rop) & 0x330000) != 0; }

// Whether any pixel of an ARGB32 image is not wholly transparent.
bool AnyAlpha(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(row[x]) != 0)
                return true;
    }
    return false;
}

void MakeOpaque(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            row[x] |= 0xFF000000u;
    }
}
}  // namespace

void TPlayer::PatternBlt(const QRectF& logicalDestination, std::uint32_t rop)
{
    FlushPendingMask();
    if (rop == kNoOperation)
        return;
    QPainterPath area;
    area.addPolygon(LogicalToDevice.map(QPolygonF(logicalDestination.normalized())));
    area.closeSubpath();
    ApplyClip();
    const QPainterPath output = FrameToOutput.map(area);
    switch (rop) {
    case BLACKNESS: Device.FillPath(output, QBrush(Qt::black), QPainter::CompositionMode_SourceOver); return;
    case WHITENESS: Device.FillPath(output, QBrush(Qt::white), QPainter::CompositionMode_SourceOver); return;
    case DSTINVERT: Device.FillPath(output, QBrush(Qt::white), QPainter::RasterOp_NotDestination); return;
    default: break;
    }
    if (const auto brush = OutputBrush(Dc.Brush))
        Device.FillPath(output, *brush,
                        rop == PATINVERT ? QPainter::RasterOp_SourceXorDestination : QPainter::CompositionMode_SourceOver);
}

QImage TPlayer::DecodeBitmap(TRecord& r, std::size_t infoOffset, std::size_t infoSize, std::size_t bitsOffset,
                             std::size_t bitsSize, std::uint32_t usage, bool keepAlpha)
{
    auto& f = r.Fields;
    const auto info = f.Bytes(infoOffset, infoSize);
    const auto bits = f.Bytes(bitsOffset, bitsSize);
    if (!f.Ok()) {
        Problem(r, "bitmap does not fit the record");
        return {};
    }
    // The pixels are paid for before they are decoded; embedded PNG and JPEG
    // pictures, whose size the header may not tell, when their size is known.
    const auto header = ParseDibInfo(info);
    const double declared = header ? static_cast<double>(header->Width) * header->Height : 0;
    if (!Budget.Spend({.DecodedPixels = declared}))
        return {};
    TDibDecodeOptions options;
    options.Usage = usage == 1 ? TDibColorUsage::PalIndices : TDibColorUsage::RgbColors;
    if (Dc.Palette)
        options.Palette = Dc.Palette->Entries;
    options.KeepAlpha = keepAlpha;
    std::string why;
    QImage image = DecodeDib(info, bits, options, &why);
    if (image.isNull()) {
        Problem(r, "bitmap not decoded: " + why);
        return image;
    }
    const double decoded = static_cast<double>(image.width()) * image.height();
    if (decoded > declared && !Budget.Spend({.DecodedPixels = decoded - declared}))
        return {};
    return image;
}

void TPlayer::DrawBitmap(TRecord& r, std::size_t infoOffset, std::size_t infoSize, std::size_t bitsOffset,
                         std::size_t bitsSize, std::uint32_t usage, const QRectF& source, bool sourceFromBottom,
                         const QRectF& logicalDestination, std::uint32_t rop, const TBlitOptions& options)
{
    QImage image = DecodeBitmap(r, infoOffset, infoSize, bitsOffset, bitsSize, usage, options.SourceAlpha);
    if (image.isNull())
        return;
    const auto header = ParseDibInfo(r.Fields.Bytes(infoOffset, infoSize));
    // A source whose alpha bytes are all zero was never meant to carry alpha:
    // direct 16 and 32 bit pixels, the only ones with alpha of their own, are then opaque.
    if (options.SourceAlpha) {
        if (!AnyAlpha(image)) {
            if (header && (header->BitCount == 16 || header->BitCount == 32) &&
                (header->Compression == BI_RGB || header->Compression == BI_BITFIELDS))
                MakeOpaque(image);
        } else if (header && (header->Compression == BI_PNG || header->Compression == BI_JPEG)) {
            image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);  // stored unmultiplied
        } else {
            image = PremultipliedSource(image);
        }
    }
    if (options.Transparent || options.ConstantAlpha < 255) {
        image = image.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                if (options.Transparent && (row[x] & 0xFFFFFF) == (*options.Transparent & 0xFFFFFF))
                    row[x] = 0;
                else if (options.ConstantAlpha < 255)
                    row[x] = qRgba(qRed(row[x]), qGreen(row[x]), qBlue(row[x]),
                                   qAlpha(row[x]) * options.ConstantAlpha / 255);
            }
        }
    }
    QRectF from = source;
    if (sourceFromBottom)
        from.moveTop(image.height() - source.top() - source.height());
    if (from.width() == 0 || from.height() == 0)
        return;
    if (options.MaskRecordOffset != 0) {
        // The mask's own rectangle starts at its origin in the record; its rows,
        // like the source's, are counted from the top of the decoded image.
        auto& f = r.Fields;
        const std::size_t at = options.MaskRecordOffset;
        const QPoint maskOrigin(f.I32(at), f.I32(at + 4));
        const std::uint32_t maskUsage = f.U32(at + 8);
        const std::uint32_t offMask = f.U32(at + 12), sizeMask = f.U32(at + 16);
        const std::uint32_t offMaskBits = f.U32(at + 20), sizeMaskBits = f.U32(at + 24);
        if (f.Ok() && sizeMask != 0) {
            const QImage mask = DecodeBitmap(r, offMask, sizeMask, offMaskBits, sizeMaskBits, maskUsage, false);
            if (mask.isNull())
                return;
            // Only the part of the source rectangle the bitmap holds is masked; the
            // mask's pixels follow the rectangle's origin.
            const QRect held = from.toAlignedRect().intersected(image.rect());
            if (held.isEmpty())
                return;
            const QPoint shift = held.topLeft() - from.toAlignedRect().topLeft();
            image = ApplyMaskBlt(image.copy(held), mask, maskOrigin + shift, rop);
            from.moveTopLeft(from.topLeft() - QPointF(held.topLeft()));
            rop = SRCCOPY;
        } else {
            rop &= 0x00FFFFFFu;  // no mask: the foreground operation alone
        }
    }
    // Image pixels of the source rectangle onto the destination, mirrored by negative extents.
    const QTransform imageToLogical = QTransform::fromTranslate(-from.left(), -from.top()) *
                                      QTransform::fromScale(logicalDestination.width() / from.width(),
                                                            logicalDestination.height() / from.height()) *
                                      QTransform::fromTranslate(logicalDestination.left(), logicalDestination.top());
    // Only the halftone mode averages pixels; the others pick the nearest.
    constexpr std::uint32_t HALFTONE = 4;
    Blit(image, from.intersected(QRectF(image.rect())), imageToLogical * LogicalToOutput, rop,
         Dc.StretchMode == HALFTONE);
}

void TPlayer::Blit(const QImage& image, const QRectF& from, const QTransform& toOutput, std::uint32_t rop, bool smooth)
{
    if (from.isEmpty())
        return;
    const QRect pixels = from.toAlignedRect();
    const bool wholePixels = QRectF(pixels) == from;
    if (PendingMask && (rop == SRCPAINT || rop == SRCINVERT) && wholePixels && PendingMask->Clip == Dc.Clip &&
        PendingMask->Image.size() == pixels.size() &&
        PendingMask->ToOutput == QTransform::fromTranslate(pixels.left(), pixels.top()) * toOutput) {
        if (const auto merged = MergeMaskPair(PendingMask->Image, image.copy(pixels))) {
            PendingMask.reset();
            ApplyClip();
            Device.DrawImage(*merged, QRectF(merged->rect()), QTransform::fromTranslate(pixels.left(), pixels.top()) * toOutput,
                             QPainter::CompositionMode_SourceOver, smooth);
            return;
        }
    }
    FlushPendingMask();
    if (rop == SRCAND && wholePixels) {
        PendingMask = TPendingMask {image.copy(pixels), QTransform::fromTranslate(pixels.left(), pixels.top()) * toOutput,
                                    smooth, Dc.Clip};
        return;
    }
    ApplyClip();
    Device.DrawImage(image, from, toOutput, SourceMode(rop), smooth);
}

void TPlayer::FlushPendingMask()
{
    if (!PendingMask)
        return;
    TPendingMask mask = std::move(*PendingMask);
    PendingMask.reset();
    const std::optional<QRegion> clip = Dc.Clip;
    Dc.Clip = mask.Clip;
    ApplyClip();
    Device.DrawImage(mask.Image, QRectF(mask.Image.rect()), mask.ToOutput, SourceMode(SRCAND), mask.Smooth);
    Dc.Clip = clip;
}

void TPlayer::StretchDiBits(TRecord& r)
{
    auto& f = r.Fields;
    const double xDest = f.I32(24), yDest = f.I32(28);
    const QRectF source(f.I32(32), f.I32(36), f.I32(40), f.I32(44));
    const std::uint32_t offInfo = f.U32(48), sizeInfo = f.U32(52), offBits = f.U32(56), sizeBits = f.U32(60);
    const std::uint32_t usage = f.U32(64), rop = f.U32(68);
    const double cxDest = f.I32(72), cyDest = f.I32(76);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    const QRectF destination(xDest, yDest, cxDest, cyDest);
    if (sizeInfo == 0 || !UsesSource(rop))
        return PatternBlt(destination, rop);
    const auto header = ParseDibInfo(f.Bytes(offInfo, sizeInfo));
    const bool bottomUp = header && !header->TopDown;
    DrawBitmap(r, offInfo, sizeInfo, offBits, sizeBits, usage, source, bottomUp, destination, rop, TBlitOptions {});
}

void TPlayer::SetDiBitsToDevice(TRecord& r)
{
    auto& f = r.Fields;
    const double xDest = f.I32(24), yDest = f.I32(28);
    const QRectF source(f.I32(32), f.I32(36), f.I32(40), f.I32(44));
    const std::uint32_t offInfo = f.U32(48), sizeInfo = f.U32(52), offBits = f.U32(56), sizeBits = f.U32(60);
    const std::uint32_t usage = f.U32(64);
    const std::uint32_t scans = f.U32(72);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    const auto header = ParseDibInfo(f.Bytes(offInfo, sizeInfo));
    if (header && scans > 0 && scans < static_cast<std::uint32_t>(header->Height))
        Problem(r, "bitmap given in part (" + std::to_string(scans) + " scan lines); drawn if the bits allow");
    const bool bottomUp = header && !header->TopDown;
    // One source pixel to one reference pixel, whatever the logical units.
    const QPointF origin = LogicalToDevice.map(QPointF(xDest, yDest));
    const QRectF inDevice(origin, source.size());
    const QRectF destination = LogicalToDevice.inverted().mapRect(inDevice);
    DrawBitmap(r, offInfo, sizeInfo, offBits, sizeBits, usage, source, bottomUp, destination, SRCCOPY, TBlitOptions {});
}

void TPlayer::BitBlt(TRecord& r, std::uint32_t type)
{
    auto& f = r.Fields;
    const QRectF destination(f.I32(24), f.I32(28), f.I32(32), f.I32(36));
    const std::uint32_t rop = f.U32(40);
    const double xSrc = f.I32(44), ySrc = f.I32(48);
    const std::uint32_t usage = f.U32(80);
    const std::uint32_t offInfo = f.U32(84), sizeInfo = f.U32(88), offBits = f.U32(92), sizeBits = f.U32(96);
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    const bool stretched = type == EMR_STRETCHBLT || type == EMR_TRANSPARENTBLT;
    const QSizeF sourceSize = stretched ? QSizeF(f.I32(100), f.I32(104)) : destination.size();
    if (!f.Ok())
        return Problem(r, "record too short for its fields");
    // MaskBlt's operation is quaternary: the foreground one in the low three bytes.
    const std::uint32_t foreground = type == EMR_MASKBLT ? rop & 0x00FFFFFFu : rop;
    if (type != EMR_TRANSPARENTBLT && (sizeInfo == 0 || !UsesSource(foreground)))
        return PatternBlt(destination, foreground);
    if (sizeInfo == 0)
        return;
    TBlitOptions options;
    if (type == EMR_TRANSPARENTBLT)
        options.Transparent = Color(rop).rgb();
    constexpr std::uint32_t kMaskFields = 100;  // xMask, yMask, iUsageMask, offBmiMask, cbBmiMask, offBitsMask, cbBitsMask
    if (type == EMR_MASKBLT)
        options.MaskRecordOffset = kMaskFields;
    DrawBitmap(r, offInfo, sizeInfo, offBits, sizeBits, usage, QRectF(QPointF(xSrc, ySrc), sourceSize), false,
               destination, type == EMR_TRANSPARENTBLT ? SRCCOPY : rop, options);
}

void TPlayer::AlphaBlend(TRecord& r)
{
    auto& f = r.Fields;
    const QRectF destination(f.I32(24), f.I32(28), f.I32(32), f.I32(36));
    const std::uint8_t constantAlpha = f.U8(42);
    const bool sourceAlpha = (f.U8(43) & 1) != 0;
    const double xSrc = f.I32(44), ySrc = f.I32(48);
    const std::uint32_t usage = f.U32(80);
    const std::uint32_t offInfo = f.U32(84), sizeInfo = f.U32(88), offBits = f.U32(92), sizeBits = f.U32(96);
    const QSizeF sourceSize(f.I32(100), f.I32(104));
    if (!f.Ok() || sizeInfo == 0)
        return Problem(r, "record too short for its fields");
    DrawBitmap(r, offInfo, sizeInfo, offBits, sizeBits, usage, QRectF(QPointF(xSrc, ySrc), sourceSize), false,
               destination, SRCCOPY, {.SourceAlpha = sourceAlpha, .Transparent = std::nullopt, .ConstantAlpha = constantAlpha});
}

}  // namespace qrp::emf
