#include <gtest/gtest.h>

#include "printing/paper_sizes.h"

namespace qrp {
namespace {

TEST(PaperSizes, TheTableAsItStands)
{
    EXPECT_EQ(PaperCode(TQRPaperSize::A4), 9);
    EXPECT_EQ(PaperCode(TQRPaperSize::Custom), 256);
    EXPECT_EQ(PaperCode(TQRPaperSize::ESheet), 26);
    EXPECT_EQ(PaperDimensions(TQRPaperSize::Note).Length, 279.0L) << "not the standard's 279.4";
    EXPECT_EQ(PaperDimensions(TQRPaperSize::Env12).Width, 101.6L);
    EXPECT_EQ(PaperDimensions(TQRPaperSize::Default).Width, 0);
    EXPECT_EQ(PaperName(TQRPaperSize::Executive), "Executive7 1/2 x 10 in");
    EXPECT_EQ(PaperName(TQRPaperSize::Env14), "Envelope #14 4 \u00BE x 11");
    EXPECT_EQ(PaperSizeIdentifier(TQRPaperSize::A4Small), "A4Small");
    EXPECT_EQ(PaperSizeIdentifier(PaperSizeAt(16)), "qr10X14");
    // Every code but Default's is the row number, except Custom's.
    for (int i = 1; i < kPaperSizeCount - 1; ++i)
        EXPECT_EQ(PaperCode(PaperSizeAt(i)), i);
}

TEST(PaperSizes, BinCodes)
{
    EXPECT_EQ(BinCode(TQRBin::First), 1);
    EXPECT_EQ(BinCode(TQRBin::Upper), 1);
    EXPECT_EQ(BinCode(TQRBin::Auto), 7);
    EXPECT_EQ(BinCode(TQRBin::Cassette), 14);
    EXPECT_EQ(BinCode(TQRBin::Last), 14);
}

}  // namespace
}  // namespace qrp
