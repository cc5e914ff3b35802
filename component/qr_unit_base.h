#pragma once
// Lengths of the report component's geometry (the page, band sizes, printable
// control sizes): held in tenths of a millimetre, the Native unit, and read
// and written in the unit the designer chose. Conversions are in long double
// and not rounded; rounding happens only where pixels are handed out.

#include <cstdint>
#include <span>
#include <vector>

namespace qrp {

class TQRPageHost;

enum class TQRUnit : std::uint8_t { MM, Inches, Pixels, Characters, Native };
enum class TQRDirection : std::uint8_t { Horizontal, Vertical };

// One character cell of a font of the given size in points (its magnitude),
// in millimetres: its width and the height of a line. Both grow with the size.
long double CharWidth(long double points);
long double CharHeight(long double points);

class TQRUnitBase {
public:
    virtual ~TQRUnitBase() = default;
    TQRUnitBase(const TQRUnitBase&) = delete;
    TQRUnitBase& operator=(const TQRUnitBase&) = delete;

    // A value in tenths of a millimetre expressed in unit, and back.
    long double FromNative(TQRUnit unit, TQRDirection direction, long double value) const;
    long double ToNative(TQRUnit unit, TQRDirection direction, long double value) const;

    TQRUnit Units() const { return CurrentUnits; }
    virtual void SetUnits(TQRUnit units) { CurrentUnits = units; }

    int ScreenDpi() const { return Dpi; }
    // Zoom percent of the Pixels unit. The component keeps it within 1..300;
    // 0 and below, which no conversion can use, are ignored.
    int Zoom() const { return ZoomPercent; }
    void SetZoom(int percent);

    // The component whose font the Characters unit measures by. Without one,
    // or with a font of size 0, characters are those of a 10-point font.
    void SetOwnerReport(TQRPageHost* report) { Owner = report; }

    // True while the owner is being sized from these values, so that the
    // owner's resize does not size them back.
    bool SizingHost() const { return SizingHostNow; }

    // Sizes the owner from the values.
    virtual void SizeHostFromPage() = 0;
    // The values as stored with a report ("Values"), in tenths of a millimetre.
    virtual void ReadStoredValues(std::span<const long double> values) = 0;
    virtual std::vector<long double> WriteStoredValues() const = 0;

protected:
    // Units: inches on a system that measures in U.S. units, else millimetres.
    // screenDpi: the screen's pixels per inch, positive.
    explicit TQRUnitBase(int screenDpi);

    TQRPageHost* OwnerReport() const { return Owner; }
    void SetSizingHost(bool sizing) { SizingHostNow = sizing; }

private:
    // Millimetres per character or per line of the owner's font.
    long double CharacterCell(TQRDirection direction) const;

    TQRUnit CurrentUnits;
    int Dpi;
    int ZoomPercent = 100;
    TQRPageHost* Owner = nullptr;
    bool SizingHostNow = false;
};

}  // namespace qrp
