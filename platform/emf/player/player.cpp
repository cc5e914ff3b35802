#include "platform/emf/player/player.h"

#include <cmath>

#include "platform/emf/metafile.h"
#include "platform/emf/player/emf_records.h"
#include "platform/emf/player/painter_device.h"

namespace qrp::emf {

using namespace records;

namespace {
// Saved states beyond this depth are refused: each holds a copy of the state.
constexpr std::size_t kMaxSavedStates = 4096;
constexpr std::size_t kMaxObjects = 65536;

bool Finite(const QTransform& t)
{
    for (const qreal v : {t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy()})
        if (!std::isfinite(v))
            return false;
    return true;
}
}  // namespace

TPlayer::TPlayer(std::span<const std::uint8_t> bytes, TEmfDevice& device, const QRectF& target,
                 const TProblemHandler& onProblem)
    : Bytes(bytes), Device(device), OnProblem(onProblem), Target(target)
{
    if (const auto header = ParseEmfHeader(bytes))
        Header = *header;
    if (Header.DevicePixels.cx > 0 && Header.DeviceMillimeters.cx > 0)
        ReferencePixelsPerMmX = static_cast<double>(Header.DevicePixels.cx) / Header.DeviceMillimeters.cx;
    if (Header.DevicePixels.cy > 0 && Header.DeviceMillimeters.cy > 0)
        ReferencePixelsPerMmY = static_cast<double>(Header.DevicePixels.cy) / Header.DeviceMillimeters.cy;

    // The picture frame (0.01 mm) in reference pixels is stretched onto the target.
    QRectF frame(Header.Frame.Left * ReferencePixelsPerMmX / 100, Header.Frame.Top * ReferencePixelsPerMmY / 100,
                 (static_cast<double>(Header.Frame.Right) - Header.Frame.Left) * ReferencePixelsPerMmX / 100,
                 (static_cast<double>(Header.Frame.Bottom) - Header.Frame.Top) * ReferencePixelsPerMmY / 100);
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
    Device.SetClip(std::nullopt);
    ClipDirty = false;
    std::size_t offset = 0;
    // Every record is at least 8 bytes long, so the loop ends within end / 8 steps.
    for (std::size_t index = 0; offset + 8 <= end; ++index) {
        const std::uint32_t type = LoadUInt32(Bytes.data() + offset);
        const std::uint32_t size = LoadUInt32(Bytes.data() + offset + 4);
        if (size < 8 || size % 4 != 0 || size > end - offset) {
            if (OnProblem)
                OnProblem({index, offset, type, "invalid record size " + std::to_string(size) + "; playback stops"});
            return;
        }
        TRecord record {index, offset, type, TRecordReader(Bytes.subspan(offset, size))};
        if (index > 0)
            Dispatch(record);
        if (type == EOF_)
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
        Problem(r, "RESTOREDC to a level that was never saved");
        return;
    }
    Dc = SavedStates[static_cast<std::size_t>(level)];
    SavedStates.resize(static_cast<std::size_t>(level));
    UpdateTransform();
    ClipDirty = true;
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

QColor TPlayer::Color(std::uint32_t colorRef) const { return ColorFromRef(colorRef, &Dc.Palette); }

void TPlayer::Dispatch(TRecord& r)
{
    auto& f = r.Fields;
    switch (r.Type) {
    case SETWINDOWEXTEX:
    case SETVIEWPORTEXTEX: {
        const QSizeF extent(f.I32(8), f.I32(12));
        if (!f.Ok())
            break;
        if (Dc.MapMode != MM_ISOTROPIC && Dc.MapMode != MM_ANISOTROPIC)
            return;
        if (extent.width() == 0 || extent.height() == 0) {
            Problem(r, "zero extent ignored");
            return;
        }
        (r.Type == SETWINDOWEXTEX ? Dc.WindowExt : Dc.ViewportExt) = extent;
        if (Dc.MapMode == MM_ISOTROPIC)
            ApplyIsotropic();
        UpdateTransform();
        return;
    }
    case SETWINDOWORGEX:
    case SETVIEWPORTORGEX: {
        const QPointF origin(f.I32(8), f.I32(12));
        if (!f.Ok())
            break;
        (r.Type == SETWINDOWORGEX ? Dc.WindowOrg : Dc.ViewportOrg) = origin;
        UpdateTransform();
        return;
    }
    case SCALEVIEWPORTEXTEX:
    case SCALEWINDOWEXTEX: {
        const double xNum = f.I32(8), xDenom = f.I32(12), yNum = f.I32(16), yDenom = f.I32(20);
        if (!f.Ok())
            break;
        if (Dc.MapMode != MM_ISOTROPIC && Dc.MapMode != MM_ANISOTROPIC)
            return;
        if (xDenom == 0 || yDenom == 0 || xNum == 0 || yNum == 0) {
            Problem(r, "zero scale ignored");
            return;
        }
        QSizeF& extent = r.Type == SCALEWINDOWEXTEX ? Dc.WindowExt : Dc.ViewportExt;
        extent = QSizeF(extent.width() * xNum / xDenom, extent.height() * yNum / yDenom);
        if (Dc.MapMode == MM_ISOTROPIC)
            ApplyIsotropic();
        UpdateTransform();
        return;
    }
    case SETMAPMODE: {
        const std::uint32_t mode = f.U32(8);
        if (!f.Ok())
            break;
        SetMapMode(mode);
        return;
    }
    case SETBRUSHORGEX: Dc.BrushOrigin = QPoint(f.I32(8), f.I32(12)); break;
    case SETBKMODE: Dc.BkMode = f.U32(8); break;
    case SETPOLYFILLMODE: Dc.PolyFillMode = f.U32(8); break;
    case SETROP2: Dc.Rop2 = f.U32(8); break;
    case SETSTRETCHBLTMODE: Dc.StretchMode = f.U32(8); break;
    case SETTEXTALIGN: Dc.TextAlign = f.U32(8); break;
    case SETARCDIRECTION: Dc.ArcDirection = f.U32(8); break;
    case SETMITERLIMIT: Dc.MiterLimit = static_cast<float>(f.U32(8)); break;
    case SETTEXTCOLOR: Dc.TextColor = Color(f.U32(8)); break;
    case SETBKCOLOR: Dc.BkColor = Color(f.U32(8)); break;
    case SETWORLDTRANSFORM: {
        const QTransform t = ReadXForm(r, 8);
        if (!f.Ok())
            break;
        SetWorldTransform(r, t, MWT_SET);
        return;
    }
    case MODIFYWORLDTRANSFORM: {
        const QTransform t = ReadXForm(r, 8);
        const std::uint32_t mode = f.U32(32);
        if (!f.Ok())
            break;
        SetWorldTransform(r, t, mode);
        return;
    }
    case SAVEDC: SaveDc(); return;
    case RESTOREDC: {
        const std::int32_t relative = f.I32(8);
        if (!f.Ok())
            break;
        RestoreDc(r, relative);
        return;
    }
    case MOVETOEX: {
        const QPointF to(f.I32(8), f.I32(12));
        if (!f.Ok())
            break;
        Dc.CurrentPosition = to;
        if (InPath)
            Path.moveTo(LogicalToDevice.map(to));
        return;
    }
    case LINETO: {
        const QPointF to(f.I32(8), f.I32(12));
        if (!f.Ok())
            break;
        LineTo(to);
        return;
    }
    case CREATEPEN: CreatePen(r); return;
    case EXTCREATEPEN: ExtCreatePen(r); return;
    case CREATEBRUSHINDIRECT: CreateBrushIndirect(r); return;
    case CREATEDIBPATTERNBRUSHPT: CreatePatternBrush(r, false); return;
    case CREATEMONOBRUSH: CreatePatternBrush(r, true); return;
    case EXTCREATEFONTINDIRECTW: CreateFont(r); return;
    case CREATEPALETTE: CreatePalette(r); return;
    case SETPALETTEENTRIES: SetPaletteEntries(r); return;
    case SELECTOBJECT:
    case SELECTPALETTE: {
        const std::uint32_t index = f.U32(8);
        if (!f.Ok())
            break;
        SelectObject(r, index);
        return;
    }
    case DELETEOBJECT: {
        const std::uint32_t index = f.U32(8);
        if (!f.Ok())
            break;
        DeleteObject(r, index);
        return;
    }
    case POLYBEZIER: Polyline16or32(r, false, false, true, false); return;
    case POLYBEZIER16: Polyline16or32(r, true, false, true, false); return;
    case POLYGON: Polyline16or32(r, false, true, false, false); return;
    case POLYGON16: Polyline16or32(r, true, true, false, false); return;
    case POLYLINE: Polyline16or32(r, false, false, false, false); return;
    case POLYLINE16: Polyline16or32(r, true, false, false, false); return;
    case POLYBEZIERTO: Polyline16or32(r, false, false, true, true); return;
    case POLYBEZIERTO16: Polyline16or32(r, true, false, true, true); return;
    case POLYLINETO: Polyline16or32(r, false, false, false, true); return;
    case POLYLINETO16: Polyline16or32(r, true, false, false, true); return;
    case POLYPOLYLINE: PolyPoly(r, false, false); return;
    case POLYPOLYLINE16: PolyPoly(r, true, false); return;
    case POLYPOLYGON: PolyPoly(r, false, true); return;
    case POLYPOLYGON16: PolyPoly(r, true, true); return;
    case POLYDRAW: PolyDraw(r, false); return;
    case POLYDRAW16: PolyDraw(r, true); return;
    case RECTANGLE:
    case ELLIPSE:
    case ROUNDRECT: BoxShape(r, r.Type); return;
    case ARC:
    case ARCTO:
    case CHORD:
    case PIE: ArcShape(r, r.Type); return;
    case ANGLEARC: AngleArc(r); return;
    case SETPIXELV: SetPixel(r); return;
    case GRADIENTFILL: GradientFill(r); return;
    case BEGINPATH: BeginPath(); return;
    case ENDPATH:
    case CLOSEFIGURE:
    case ABORTPATH:
    case FILLPATH:
    case STROKEPATH:
    case STROKEANDFILLPATH:
    case FLATTENPATH:
    case WIDENPATH: PathCommand(r, r.Type); return;
    case SELECTCLIPPATH: SelectClipPath(r); return;
    case INTERSECTCLIPRECT: IntersectClipRect(r, false); return;
    case EXCLUDECLIPRECT: IntersectClipRect(r, true); return;
    case EXTSELECTCLIPRGN: ExtSelectClipRgn(r); return;
    case OFFSETCLIPRGN: OffsetClipRgn(r); return;
    case FILLRGN:
    case FRAMERGN:
    case INVERTRGN:
    case PAINTRGN: RegionRecord(r, r.Type); return;
    case EXTTEXTOUTW: ExtTextOut(r, true); return;
    case EXTTEXTOUTA: ExtTextOut(r, false); return;
    case SMALLTEXTOUT: SmallTextOut(r); return;
    case STRETCHDIBITS: StretchDiBits(r); return;
    case SETDIBITSTODEVICE: SetDiBitsToDevice(r); return;
    case BITBLT:
    case STRETCHBLT:
    case MASKBLT:
    case TRANSPARENTBLT: BitBlt(r, r.Type); return;
    case ALPHABLEND: AlphaBlend(r); return;
    default:
        // Comments (EMF+ among them), colour management, palette realisation and
        // records without visible effect are passed over.
        return;
    }
    if (!f.Ok())
        Problem(r, "record too short for its fields");
}

void PlayEmf(std::span<const std::uint8_t> bytes, TEmfDevice& device, const QRectF& target,
             const TProblemHandler& onProblem)
{
    TPlayer(bytes, device, target, onProblem).Play();
}

void PlayMetafile(QPainter& painter, const TMetafile& metafile, const QRectF& target,
                  const TProblemHandler& onProblem)
{
    TPainterDevice device(painter);
    PlayEmf(metafile.Bytes(), device, target, onProblem);
}

}  // namespace qrp::emf
