#include "platform/emf/player/player.h"

#include <cmath>
#include <utility>

#include "platform/emf/metafile.h"
#include "platform/emf/emf_records.h"
#include "platform/emf/player/painter_device.h"

namespace qrp::emf {

namespace {
// Saved states beyond this depth are refused. They share palettes, patterns,
// fonts and clip regions with the state they were saved from.
constexpr std::size_t kMaxSavedStates = 4096;
constexpr std::size_t kMaxObjects = 65536;

bool Finite(const QTransform& t)
{
    for (const qreal v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
        if (!std::isfinite(v))
            return false;
    return true;
}

// The picture frame's size in pixels at 96 dpi; the target's own size when
// the frame is unusable.
QSizeF PageSizeAt96(const TEmfHeader& header, const QRectF& target)
{
    const double width = (static_cast<double>(header.Frame.Right) - header.Frame.Left) * 96 / 2540;
    const double height = (static_cast<double>(header.Frame.Bottom) - header.Frame.Top) * 96 / 2540;
    return width > 0 && height > 0 ? QSizeF(width, height) : target.size();
}

// The target widened by half its size on each side, within the coordinates
// regions can hold.
QRectF ClipAreaFor(const QRectF& target)
{
    constexpr double kLimit = 1 << 24;
    const QRectF t = target.normalized();
    const QRectF widened = t.adjusted(-t.width() / 2, -t.height() / 2, t.width() / 2, t.height() / 2);
    return widened.intersected(QRectF(-kLimit, -kLimit, 2 * kLimit, 2 * kLimit));
}

// The names of the records the player draws with, for messages.
std::string RecordName(std::uint32_t type)
{
#define QRP_RECORD(name) std::pair<std::uint32_t, const char*>(name, #name)
    static constexpr std::pair<std::uint32_t, const char*> kNames[] = {
        QRP_RECORD(EMR_POLYBEZIER), QRP_RECORD(EMR_POLYGON), QRP_RECORD(EMR_POLYLINE), QRP_RECORD(EMR_POLYBEZIERTO),
        QRP_RECORD(EMR_POLYLINETO), QRP_RECORD(EMR_POLYPOLYLINE), QRP_RECORD(EMR_POLYPOLYGON),
        QRP_RECORD(EMR_SETPIXELV), QRP_RECORD(EMR_OFFSETCLIPRGN), QRP_RECORD(EMR_EXCLUDECLIPRECT),
        QRP_RECORD(EMR_INTERSECTCLIPRECT), QRP_RECORD(EMR_ANGLEARC), QRP_RECORD(EMR_ELLIPSE),
        QRP_RECORD(EMR_RECTANGLE), QRP_RECORD(EMR_ROUNDRECT), QRP_RECORD(EMR_ARC), QRP_RECORD(EMR_CHORD),
        QRP_RECORD(EMR_PIE), QRP_RECORD(EMR_LINETO), QRP_RECORD(EMR_ARCTO), QRP_RECORD(EMR_POLYDRAW),
        QRP_RECORD(EMR_FILLPATH), QRP_RECORD(EMR_STROKEANDFILLPATH), QRP_RECORD(EMR_STROKEPATH),
        QRP_RECORD(EMR_FLATTENPATH), QRP_RECORD(EMR_WIDENPATH), QRP_RECORD(EMR_SELECTCLIPPATH),
        QRP_RECORD(EMR_FILLRGN), QRP_RECORD(EMR_FRAMERGN), QRP_RECORD(EMR_INVERTRGN), QRP_RECORD(EMR_PAINTRGN),
        QRP_RECORD(EMR_EXTSELECTCLIPRGN), QRP_RECORD(EMR_BITBLT), QRP_RECORD(EMR_STRETCHBLT), QRP_RECORD(EMR_MASKBLT),
        QRP_RECORD(EMR_SETDIBITSTODEVICE), QRP_RECORD(EMR_STRETCHDIBITS), QRP_RECORD(EMR_EXTTEXTOUTA),
        QRP_RECORD(EMR_EXTTEXTOUTW), QRP_RECORD(EMR_POLYBEZIER16), QRP_RECORD(EMR_POLYGON16),
        QRP_RECORD(EMR_POLYLINE16), QRP_RECORD(EMR_POLYBEZIERTO16), QRP_RECORD(EMR_POLYLINETO16),
        QRP_RECORD(EMR_POLYPOLYLINE16), QRP_RECORD(EMR_POLYPOLYGON16), QRP_RECORD(EMR_POLYDRAW16),
        QRP_RECORD(EMR_CREATEMONOBRUSH), QRP_RECORD(EMR_CREATEDIBPATTERNBRUSHPT), QRP_RECORD(EMR_SMALLTEXTOUT),
        QRP_RECORD(EMR_ALPHABLEND), QRP_RECORD(EMR_TRANSPARENTBLT), QRP_RECORD(EMR_GRADIENTFILL),
    };
#undef QRP_RECORD
    for (const auto& [number, name] : kNames)
        if (number == type)
            return name;
    return "record of type " + std::to_string(type);
}
}  // namespace

TPlayer::TPlayer(std::span<const std::uint8_t> bytes, TEmfDevice& device, const QRectF& target,
                 const TProblemHandler& onProblem)
    : Bytes(bytes), OnProblem(onProblem), Header(ParseEmfHeader(bytes).value_or(TEmfHeader {})), Target(target),
      ClipArea(ClipAreaFor(target)), PageSize(PageSizeAt96(Header, target)), Prices(target, PageSize),
      Budget(PageDrawingLimits(PageSize)), Device(device, Budget, Prices)
{
    if (Header.DevicePixels.cx > 0 && Header.DeviceMillimeters.cx > 0)
        ReferencePixelsPerMmX = static_cast<double>(Header.DevicePixels.cx) / Header.DeviceMillimeters.cx;
    if (Header.DevicePixels.cy > 0 && Header.DeviceMillimeters.cy > 0)
        ReferencePixelsPerMmY = static_cast<double>(Header.DevicePixels.cy) / Header.DeviceMillimeters.cy;

    // The picture frame (0.01 mm) in reference pixels is stretched onto the target.
    QRectF frame(Header.Frame.Left * ReferencePixelsPerMmX / 100, Header.Frame.Top * ReferencePixelsPerMmY / 100,
                 (static_cast<double>(Header.Frame.Right) - Header.Frame.Left) * ReferencePixelsPerMmX / 100,
                 (static_cast<double>(Header.Frame.Bottom) - Header.Frame.Top) * ReferencePixelsPerMmY / 100);
    // The frame is stored rounded to 0.01 mm: a size within that rounding of a
    // whole number of pixels is the page size the recording was made at.
    const auto snapped = [](double pixels, double pixelsPerMm) {
        const double whole = std::round(pixels);
        return std::abs(pixels - whole) <= 0.006 * pixelsPerMm ? whole : pixels;
    };
    frame.setWidth(snapped(frame.width(), ReferencePixelsPerMmX));
    frame.setHeight(snapped(frame.height(), ReferencePixelsPerMmY));
    if (!(frame.width() > 0) || !(frame.height() > 0))
        frame = QRectF(Header.Bounds.Left, Header.Bounds.Top,
                       static_cast<double>(Header.Bounds.Right) - Header.Bounds.Left + 1,
                       static_cast<double>(Header.Bounds.Bottom) - Header.Bounds.Top + 1);
    if (!(frame.width() > 0) || !(frame.height() > 0))
        frame = QRectF(0, 0, 1, 1);
    FrameToOutput = QTransform::fromTranslate(-frame.left(), -frame.top()) *
                    QTransform::fromScale(target.width() / frame.width(), target.height() / frame.height()) *
                    QTransform::fromTranslate(target.left(), target.top());
    Objects.resize(std::max<std::size_t>(Header.HandleCount, 1));
    Dc.Pen = std::get<TLogPen>(StockObject(7));
    Dc.Brush = std::get<TLogBrush>(StockObject(0));
    Dc.Font = std::get<TLogFont>(StockObject(13));
    UpdateTransform();
}

namespace {
// Whether any record mixes its colour with the destination's in a way only a
// device that reads its pixels can draw: a pen's raster operation, an
// inverted region, an inverting blit. A look at the records' types and
// operations, bounded like playback by the record sizes.
bool CombinesWithDestination(std::span<const std::uint8_t> records)
{
    std::size_t offset = 0;
    while (offset + 12 <= records.size()) {
        const std::uint32_t type = LoadUInt32(records.data() + offset);
        const std::uint32_t size = LoadUInt32(records.data() + offset + 4);
        if (size < 8 || size % 4 != 0 || size > records.size() - offset)
            return false;
        const auto field = [&](std::size_t at) {
            return at + 4 <= size ? LoadUInt32(records.data() + offset + at) : 0u;
        };
        switch (type) {
        case EMR_SETROP2:
            if (field(8) != R2_COPYPEN && field(8) != R2_NOP)
                return true;
            break;
        case EMR_INVERTRGN: return true;
        case EMR_BITBLT:
        case EMR_STRETCHBLT:
            if (const std::uint32_t rop = field(40); rop == DSTINVERT || rop == PATINVERT || rop == SRCINVERT)
                return true;
            break;
        case EMR_STRETCHDIBITS:
            if (const std::uint32_t rop = field(68); rop == DSTINVERT || rop == PATINVERT || rop == SRCINVERT)
                return true;
            break;
        default: break;
        }
        offset += size;
    }
    return false;
}
}  // namespace

void TPlayer::Problem(const TRecord& r, const std::string& what)
{
    if (OnProblem)
        OnProblem({r.Index, r.Offset, r.Type, what});
}

void TPlayer::Play()
{
    if (!ParseEmfHeader(Bytes)) {
        if (OnProblem)
            OnProblem({0, 0, 0, "the data does not begin with an EMF header"});
        return;
    }
    const std::size_t end = std::min<std::size_t>(Bytes.size(), Header.TotalBytes);
    if (CombinesWithDestination(Bytes.first(end)))
        Device.ExpectRasterOps();
    Device.SetClip(std::nullopt);
    std::size_t offset = 0;
    // Every record is at least 8 bytes long, so the loop ends within end / 8 steps.
    for (std::size_t index = 0; offset + 8 <= end; ++index) {
        const std::uint32_t type = LoadUInt32(Bytes.data() + offset);
        const std::uint32_t size = LoadUInt32(Bytes.data() + offset + 4);
        if (size < 8 || size % 4 != 0 || size > end - offset) {
            FlushPendingMask();
            if (OnProblem)
                OnProblem({index, offset, type, "invalid record size " + std::to_string(size) + "; playback stops", true});
            return;
        }
        TRecord record {index, offset, type, TRecordReader(Bytes.subspan(offset, size))};
        // A mask waiting for its image is drawn before anything but a blit.
        if (type != EMR_STRETCHDIBITS && type != EMR_BITBLT && type != EMR_STRETCHBLT)
            FlushPendingMask();
        if (index > 0)
            Dispatch(record);
        if (Budget.Exhausted()) {
            if (OnProblem)
                OnProblem({index, offset, type,
                           "the page's drawing budget of " + Budget.ExhaustedMeasure() + " is spent at this " +
                               RecordName(type) + "; the page is drawn up to here",
                           true});
            return;
        }
        if (type == EMR_EOF)
            return;
        offset += size;
    }
}

void TPlayer::UpdateTransform()
{
    const auto& d = Dc;
    const double sx = d.WindowExt.width() != 0 ? d.ViewportExt.width() / d.WindowExt.width() : 1;
    const double sy = d.WindowExt.height() != 0 ? d.ViewportExt.height() / d.WindowExt.height() : 1;
    const QTransform page = QTransform::fromTranslate(-d.WindowOrg.x(), -d.WindowOrg.y()) *
                            QTransform::fromScale(sx, sy) *
                            QTransform::fromTranslate(d.ViewportOrg.x(), d.ViewportOrg.y());
    LogicalToDevice = d.World * page;
    LogicalToOutput = LogicalToDevice * FrameToOutput;
}

void TPlayer::SetMapMode(std::uint32_t mode)
{
    const double mmX = Header.DeviceMillimeters.cx > 0 ? Header.DeviceMillimeters.cx : Header.DevicePixels.cx / ReferencePixelsPerMmX;
    const double mmY = Header.DeviceMillimeters.cy > 0 ? Header.DeviceMillimeters.cy : Header.DevicePixels.cy / ReferencePixelsPerMmY;
    const double pxX = mmX * ReferencePixelsPerMmX;
    const double pxY = mmY * ReferencePixelsPerMmY;
    // Units per millimetre of the fixed modes; y grows upwards in all of them.
    double unitsPerMm = 0;
    switch (mode) {
    case MM_TEXT:
        Dc.WindowExt = Dc.ViewportExt = QSizeF(1, 1);
        break;
    case MM_LOMETRIC: unitsPerMm = 10; break;
    case MM_HIMETRIC: unitsPerMm = 100; break;
    case MM_LOENGLISH: unitsPerMm = 100 / 25.4; break;
    case MM_HIENGLISH: unitsPerMm = 1000 / 25.4; break;
    case MM_TWIPS: unitsPerMm = 1440 / 25.4; break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC: break;
    default: return;
    }
    if (unitsPerMm > 0 && pxX > 0 && pxY > 0) {
        Dc.WindowExt = QSizeF(mmX * unitsPerMm, mmY * unitsPerMm);
        Dc.ViewportExt = QSizeF(pxX, -pxY);
    }
    Dc.MapMode = mode;
    if (mode == MM_ISOTROPIC)
        ApplyIsotropic();
    UpdateTransform();
}

void TPlayer::ApplyIsotropic()
{
    // Equal scales in both directions: the smaller wins, signs stay.
    if (Dc.WindowExt.width() == 0 || Dc.WindowExt.height() == 0)
        return;
    const double sx = Dc.ViewportExt.width() / Dc.WindowExt.width();
    const double sy = Dc.ViewportExt.height() / Dc.WindowExt.height();
    const double scale = std::min(std::abs(sx), std::abs(sy));
    Dc.ViewportExt = QSizeF(std::copysign(scale, sx) * Dc.WindowExt.width(), std::copysign(scale, sy) * Dc.WindowExt.height());
}

QTransform TPlayer::ReadXForm(TRecord& r, std::size_t offset)
{
    auto& f = r.Fields;
    return QTransform(f.F32(offset), f.F32(offset + 4), f.F32(offset + 8), f.F32(offset + 12), f.F32(offset + 16),
                      f.F32(offset + 20));
}

void TPlayer::SetWorldTransform(TRecord& r, const QTransform& transform, std::uint32_t mode)
{
    QTransform world;
    switch (mode) {
    case MWT_IDENTITY: break;
    case MWT_LEFTMULTIPLY: world = transform * Dc.World; break;
    case MWT_RIGHTMULTIPLY: world = Dc.World * transform; break;
    case MWT_SET: world = transform; break;
    default: Problem(r, "unknown world transform mode"); return;
    }
    if (!Finite(world) || std::abs(world.determinant()) < 1e-12) {
        Problem(r, "degenerate world transform ignored");
        return;
    }
    Dc.World = world;
    UpdateTransform();
}

void TPlayer::SaveDc()
{
    if (SavedStates.size() >= kMaxSavedStates)
        return;
    SavedStates.push_back(Dc);
}

void TPlayer::RestoreDc(TRecord& r, std::int32_t relative)
{
    // Negative: that many levels back; positive: the absolute level.
    const std::int64_t depth = static_cast<std::int64_t>(SavedStates.size());
    const std::int64_t level = relative < 0 ? depth + relative : static_cast<std::int64_t>(relative) - 1;
    if (relative == 0 || level < 0 || level >= depth) {
        Problem(r, "EMR_RESTOREDC to a level that was never saved");
        return;
    }
    Dc = SavedStates[static_cast<std::size_t>(level)];
    SavedStates.resize(static_cast<std::size_t>(level));
    UpdateTransform();
}

TGdiObject* TPlayer::ObjectSlot(TRecord& r, std::uint32_t index, bool creating)
{
    if (index == 0 || index >= kMaxObjects) {
        Problem(r, "object index " + std::to_string(index) + " out of range");
        return nullptr;
    }
    if (index >= Objects.size()) {
        if (!creating) {
            Problem(r, "object index " + std::to_string(index) + " was never created");
            return nullptr;
        }
        // Some writers state too few handles; grow within the format's 16-bit limit.
        Objects.resize(index + 1);
    }
    return &Objects[index];
}

QColor TPlayer::Color(std::uint32_t colorRef) const { return ColorFromRef(colorRef, Dc.Palette.get()); }

void TPlayer::Dispatch(TRecord& r)
{
    auto& f = r.Fields;
    switch (r.Type) {
    case EMR_SETWINDOWEXTEX:
    case EMR_SETVIEWPORTEXTEX: {
        const QSizeF extent(f.I32(8), f.I32(12));
        if (!f.Ok())
            break;
        if (Dc.MapMode != MM_ISOTROPIC && Dc.MapMode != MM_ANISOTROPIC)
            return;
        if (extent.width() == 0 || extent.height() == 0) {
            Problem(r, "zero extent ignored");
            return;
        }
        (r.Type == EMR_SETWINDOWEXTEX ? Dc.WindowExt : Dc.ViewportExt) = extent;
        if (Dc.MapMode == MM_ISOTROPIC)
            ApplyIsotropic();
        UpdateTransform();
        return;
    }
    case EMR_SETWINDOWORGEX:
    case EMR_SETVIEWPORTORGEX: {
        const QPointF origin(f.I32(8), f.I32(12));
        if (!f.Ok())
            break;
        (r.Type == EMR_SETWINDOWORGEX ? Dc.WindowOrg : Dc.ViewportOrg) = origin;
        UpdateTransform();
        return;
    }
    case EMR_SCALEVIEWPORTEXTEX:
    case EMR_SCALEWINDOWEXTEX: {
        const double xNum = f.I32(8), xDenom = f.I32(12), yNum = f.I32(16), yDenom = f.I32(20);
        if (!f.Ok())
            break;
        if (Dc.MapMode != MM_ISOTROPIC && Dc.MapMode != MM_ANISOTROPIC)
            return;
        if (xDenom == 0 || yDenom == 0 || xNum == 0 || yNum == 0) {
            Problem(r, "zero scale ignored");
            return;
        }
        QSizeF& extent = r.Type == EMR_SCALEWINDOWEXTEX ? Dc.WindowExt : Dc.ViewportExt;
        extent = QSizeF(extent.width() * xNum / xDenom, extent.height() * yNum / yDenom);
        if (Dc.MapMode == MM_ISOTROPIC)
            ApplyIsotropic();
        UpdateTransform();
        return;
    }
    case EMR_SETMAPMODE: {
        const std::uint32_t mode = f.U32(8);
        if (!f.Ok())
            break;
        SetMapMode(mode);
        return;
    }
    case EMR_SETBRUSHORGEX: Dc.BrushOrigin = QPoint(f.I32(8), f.I32(12)); break;
    case EMR_SETBKMODE: Dc.BkMode = f.U32(8); break;
    case EMR_SETPOLYFILLMODE: Dc.PolyFillMode = f.U32(8); break;
    case EMR_SETROP2: Dc.Rop2 = f.U32(8); break;
    case EMR_SETSTRETCHBLTMODE: Dc.StretchMode = f.U32(8); break;
    case EMR_SETTEXTALIGN: Dc.TextAlign = f.U32(8); break;
    case EMR_SETARCDIRECTION: Dc.ArcDirection = f.U32(8); break;
    case EMR_SETMITERLIMIT: Dc.MiterLimit = static_cast<float>(f.U32(8)); break;
    case EMR_SETTEXTCOLOR: Dc.TextColor = Color(f.U32(8)); break;
    case EMR_SETBKCOLOR: Dc.BkColor = Color(f.U32(8)); break;
    case EMR_SETWORLDTRANSFORM: {
        const QTransform t = ReadXForm(r, 8);
        if (!f.Ok())
            break;
        SetWorldTransform(r, t, MWT_SET);
        return;
    }
    case EMR_MODIFYWORLDTRANSFORM: {
        const QTransform t = ReadXForm(r, 8);
        const std::uint32_t mode = f.U32(32);
        if (!f.Ok())
            break;
        SetWorldTransform(r, t, mode);
        return;
    }
    case EMR_SAVEDC: SaveDc(); return;
    case EMR_RESTOREDC: {
        const std::int32_t relative = f.I32(8);
        if (!f.Ok())
            break;
        RestoreDc(r, relative);
        return;
    }
    case EMR_MOVETOEX: {
        const QPointF to(f.I32(8), f.I32(12));
        if (!f.Ok())
            break;
        Dc.CurrentPosition = to;
        if (InPath)
            Path.moveTo(LogicalToDevice.map(to));
        return;
    }
    case EMR_LINETO: {
        const QPointF to(f.I32(8), f.I32(12));
        if (!f.Ok())
            break;
        LineTo(to);
        return;
    }
    case EMR_CREATEPEN: CreatePen(r); return;
    case EMR_EXTCREATEPEN: ExtCreatePen(r); return;
    case EMR_CREATEBRUSHINDIRECT: CreateBrushIndirect(r); return;
    case EMR_CREATEDIBPATTERNBRUSHPT: CreatePatternBrush(r, false); return;
    case EMR_CREATEMONOBRUSH: CreatePatternBrush(r, true); return;
    case EMR_EXTCREATEFONTINDIRECTW: CreateFont(r); return;
    case EMR_CREATEPALETTE: CreatePalette(r); return;
    case EMR_SETPALETTEENTRIES: SetPaletteEntries(r); return;
    case EMR_SELECTOBJECT:
    case EMR_SELECTPALETTE: {
        const std::uint32_t index = f.U32(8);
        if (!f.Ok())
            break;
        SelectObject(r, index);
        return;
    }
    case EMR_DELETEOBJECT: {
        const std::uint32_t index = f.U32(8);
        if (!f.Ok())
            break;
        DeleteObject(r, index);
        return;
    }
    case EMR_POLYBEZIER: Polyline16or32(r, false, false, true, false); return;
    case EMR_POLYBEZIER16: Polyline16or32(r, true, false, true, false); return;
    case EMR_POLYGON: Polyline16or32(r, false, true, false, false); return;
    case EMR_POLYGON16: Polyline16or32(r, true, true, false, false); return;
    case EMR_POLYLINE: Polyline16or32(r, false, false, false, false); return;
    case EMR_POLYLINE16: Polyline16or32(r, true, false, false, false); return;
    case EMR_POLYBEZIERTO: Polyline16or32(r, false, false, true, true); return;
    case EMR_POLYBEZIERTO16: Polyline16or32(r, true, false, true, true); return;
    case EMR_POLYLINETO: Polyline16or32(r, false, false, false, true); return;
    case EMR_POLYLINETO16: Polyline16or32(r, true, false, false, true); return;
    case EMR_POLYPOLYLINE: PolyPoly(r, false, false); return;
    case EMR_POLYPOLYLINE16: PolyPoly(r, true, false); return;
    case EMR_POLYPOLYGON: PolyPoly(r, false, true); return;
    case EMR_POLYPOLYGON16: PolyPoly(r, true, true); return;
    case EMR_POLYDRAW: PolyDraw(r, false); return;
    case EMR_POLYDRAW16: PolyDraw(r, true); return;
    case EMR_RECTANGLE:
    case EMR_ELLIPSE:
    case EMR_ROUNDRECT: BoxShape(r, r.Type); return;
    case EMR_ARC:
    case EMR_ARCTO:
    case EMR_CHORD:
    case EMR_PIE: ArcShape(r, r.Type); return;
    case EMR_ANGLEARC: AngleArc(r); return;
    case EMR_SETPIXELV: SetPixel(r); return;
    case EMR_GRADIENTFILL: GradientFill(r); return;
    case EMR_BEGINPATH: BeginPath(); return;
    case EMR_ENDPATH:
    case EMR_CLOSEFIGURE:
    case EMR_ABORTPATH:
    case EMR_FILLPATH:
    case EMR_STROKEPATH:
    case EMR_STROKEANDFILLPATH:
    case EMR_FLATTENPATH:
    case EMR_WIDENPATH: PathCommand(r, r.Type); return;
    case EMR_SELECTCLIPPATH: SelectClipPath(r); return;
    case EMR_INTERSECTCLIPRECT: IntersectClipRect(r, false); return;
    case EMR_EXCLUDECLIPRECT: IntersectClipRect(r, true); return;
    case EMR_EXTSELECTCLIPRGN: ExtSelectClipRgn(r); return;
    case EMR_OFFSETCLIPRGN: OffsetClipRgn(r); return;
    case EMR_FILLRGN:
    case EMR_FRAMERGN:
    case EMR_INVERTRGN:
    case EMR_PAINTRGN: RegionRecord(r, r.Type); return;
    case EMR_EXTTEXTOUTW: ExtTextOut(r, true); return;
    case EMR_EXTTEXTOUTA: ExtTextOut(r, false); return;
    case EMR_SMALLTEXTOUT: SmallTextOut(r); return;
    case EMR_STRETCHDIBITS: StretchDiBits(r); return;
    case EMR_SETDIBITSTODEVICE: SetDiBitsToDevice(r); return;
    case EMR_BITBLT:
    case EMR_STRETCHBLT:
    case EMR_MASKBLT:
    case EMR_TRANSPARENTBLT: BitBlt(r, r.Type); return;
    case EMR_ALPHABLEND: AlphaBlend(r); return;
    default:
        // Comments (EMF+ among them), colour management, palette realisation and
        // records without visible effect are passed over.
        return;
    }
    if (!f.Ok())
        Problem(r, "record too short for its fields");
}

TPageWork PlayEmf(std::span<const std::uint8_t> bytes, TEmfDevice& device, const QRectF& target,
                  const TProblemHandler& onProblem)
{
    TPlayer player(bytes, device, target, onProblem);
    player.Play();
    return player.Work();
}

TPageWork PlayMetafile(QPainter& painter, const TMetafile& metafile, const QRectF& target,
                       const TProblemHandler& onProblem)
{
    TPainterDevice device(painter);
    return PlayEmf(metafile.Bytes(), device, target, onProblem);
}

}  // namespace qrp::emf
