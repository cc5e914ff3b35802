#pragma once
// Paper sizes and paper sources as printers and report definitions name them:
// the enumerations with their dimensions, device paper codes and display names.

#include <array>
#include <cstdint>
#include <string_view>

namespace qrp {

enum class TQRPaperSize : std::uint8_t {
    Default, Letter, LetterSmall, Tabloid, Ledger, Legal, Statement, Executive, A3, A4, A4Small, A5, B4, B5,
    Folio, Quarto, qr10X14, qr11X17, Note, Env9, Env10, Env11, Env12, Env14, CSheet, DSheet, ESheet, Custom,
};
constexpr int kPaperSizeCount = 28;

enum class TQRBin : std::uint8_t {
    First, Upper, Lower, Middle, Manual, Envelope, EnvManual, Auto, Tractor, SmallFormat, LargeFormat,
    LargeCapacity, Cassette, Last,
};
constexpr int kBinCount = 14;

enum TPrinterOrientation : std::uint8_t { poPortrait = 0, poLandscape = 1 };

struct TPaperDimensions {
    long double Width = 0;   // millimetres; 0 for Default and Custom
    long double Length = 0;
};

// The table's dimensions (not the paper standards': Note is 279.0 mm long,
// the three sheets are 100 × 100 mm).
const TPaperDimensions& PaperDimensions(TQRPaperSize size);
// The device paper number (Custom: 256, Default: 0).
std::int16_t PaperCode(TQRPaperSize size);
std::string_view PaperName(TQRPaperSize size);
// The identifier as the enumeration spells it: "A4Small", "qr10X14".
std::string_view PaperSizeIdentifier(TQRPaperSize size);
std::int16_t BinCode(TQRBin bin);

constexpr TQRPaperSize PaperSizeAt(int index) { return static_cast<TQRPaperSize>(index); }
constexpr int IndexOf(TQRPaperSize size) { return static_cast<int>(size); }
constexpr TQRBin BinAt(int index) { return static_cast<TQRBin>(index); }

}  // namespace qrp
