#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iomanip>
#include <limits>
#include <locale.h>
#include <optional>
#include <vector>

#include "component/qr_page.h"
#include "component/qr_page_host.h"
#include "platform/locale.h"

namespace qrp {
namespace {

constexpr auto H = TQRDirection::Horizontal;
constexpr auto V = TQRDirection::Vertical;

// Records what the page asks of its component.
class TRecordingHost final : public TQRPageHost {
public:
    void SetPixelSize(int width, int height) override
    {
        Width = width;
        Height = height;
        ++Sizings;
        if (OnSize)
            OnSize();
    }
    void Repaint() override { ++Repaints; }
    void RelayoutBands() override { ++Relayouts; }
    int FontSize() const override { return Font; }

    int Width = 0, Height = 0;
    int Sizings = 0, Repaints = 0, Relayouts = 0;
    int Font = 10;
    std::function<void()> OnSize;
};

// Decides the system's measurement for as long as it lives.
class TMeasurementScope {
public:
    explicit TMeasurementScope(bool usMeasure) { OverrideUsMeasure(usMeasure); }
    ~TMeasurementScope() { OverrideUsMeasure(std::nullopt); }
    TMeasurementScope(const TMeasurementScope&) = delete;
    TMeasurementScope& operator=(const TMeasurementScope&) = delete;
};

// A new page on a metric system at 96 pixels per inch, owned by a recording host.
class PageGeometry : public ::testing::Test {
protected:
    PageGeometry() { Page.SetOwnerReport(&Host); }

    TMeasurementScope Metric {false};
    TQRPage Page {96};
    TRecordingHost Host;
};

// Long double comparisons: EXPECT_NEAR would round both sides to double.
::testing::AssertionResult Near(long double actual, long double expected, long double tolerance)
{
    if (std::fabs(actual - expected) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << std::setprecision(21) << actual << " is not within " << tolerance << " of "
                                         << expected;
}

const std::vector<long double> kFormValues = {100, 2970, 100, 2100, 100, 100, 0};

TEST(NewPage, FollowsTheSystemMeasurement)
{
    {
        const TMeasurementScope us(true);
        const TQRPage page(96);
        EXPECT_EQ(page.Units(), TQRUnit::Inches);
        EXPECT_EQ(page.PaperSize(), TQRPaperSize::Letter);
        EXPECT_TRUE(Near(page.Width(), 8.5L, 1e-12L));
        EXPECT_TRUE(Near(page.Length(), 11.0L, 1e-12L));
        for (const long double margin : {page.TopMargin(), page.BottomMargin(), page.LeftMargin(), page.RightMargin()})
            EXPECT_EQ(margin, 0.5L);
        EXPECT_EQ(page.ColumnSpace(), 0);
    }
    const TMeasurementScope metric(false);
    const TQRPage page(96);
    EXPECT_EQ(page.Units(), TQRUnit::MM);
    EXPECT_EQ(page.PaperSize(), TQRPaperSize::A4);
    EXPECT_EQ(page.Orientation(), poPortrait);
    EXPECT_EQ(page.Columns(), 1);
    EXPECT_EQ(page.ColumnOrder(), TQRColumnOrder::ColumnByColumn);
    EXPECT_TRUE(page.Ruler());
    // Exactly what the viewer's report component stores for its page.
    EXPECT_EQ(page.WriteStoredValues(), kFormValues);
}

TEST_F(PageGeometry, A4PortraitReadsInEveryUnit)
{
    EXPECT_EQ(Page.Width(), 210);
    EXPECT_EQ(Page.Length(), 297);
    EXPECT_EQ(Page.LeftMargin(), 10);
    Page.SetUnits(TQRUnit::Inches);
    EXPECT_TRUE(Near(Page.Width(), 8.26771653543307087L, 1e-15L));
    EXPECT_TRUE(Near(Page.Length(), 11.6929133858267717L, 1e-15L));
    Page.SetUnits(TQRUnit::Native);
    EXPECT_EQ(Page.Width(), 2100);
    EXPECT_EQ(Page.TopMargin(), 100);
}

TEST_F(PageGeometry, TableSizesTurnWithTheOrientationAndOtherSizesKeepTheirs)
{
    Page.SetOrientation(poLandscape);
    EXPECT_EQ(Page.Width(), 297);
    EXPECT_EQ(Page.Length(), 210);
    Page.SetOrientation(poPortrait);
    EXPECT_EQ(Page.Width(), 210);
    EXPECT_EQ(Page.Length(), 297);

    // The table is in millimetres whatever unit the page shows.
    Page.SetUnits(TQRUnit::Inches);
    Page.SetOrientation(poLandscape);
    Page.SetPaperSize(TQRPaperSize::Letter);
    EXPECT_EQ(Page.Units(), TQRUnit::Inches);
    EXPECT_TRUE(Near(Page.Width(), 11.0L, 1e-12L));
    EXPECT_TRUE(Near(Page.Length(), 8.5L, 1e-12L));

    Page.SetUnits(TQRUnit::MM);
    Page.SetOrientation(poPortrait);
    Page.SetPaperSize(TQRPaperSize::Custom);
    Page.SetWidth(150);
    Page.SetLength(100);
    Page.SetOrientation(poLandscape);
    EXPECT_EQ(Page.Width(), 150);
    EXPECT_EQ(Page.Length(), 100);
    Page.SetPaperSize(TQRPaperSize::Default);
    Page.SetOrientation(poPortrait);
    EXPECT_EQ(Page.Width(), 150);
    EXPECT_EQ(Page.Length(), 100);
}

TEST_F(PageGeometry, WidthAndLengthAreTakenOnlyOnCustomPaper)
{
    Page.SetWidth(300);
    Page.SetLength(10);
    EXPECT_EQ(Page.Width(), 210);
    EXPECT_EQ(Page.Length(), 297);

    Page.SetPaperSize(TQRPaperSize::Custom);
    EXPECT_EQ(Page.Width(), 210) << "a custom page starts from the size it had";
    Page.SetWidth(300);
    EXPECT_EQ(Page.Width(), 300);
    Page.SetUnits(TQRUnit::Inches);
    Page.SetLength(5);
    Page.SetUnits(TQRUnit::Native);
    EXPECT_EQ(Page.Length(), 1270);
}

TEST_F(PageGeometry, ColumnCountsAndColumnWidths)
{
    Page.SetColumns(0);
    Page.SetColumns(-2);
    EXPECT_EQ(Page.Columns(), 1);
    EXPECT_EQ(Host.Relayouts + Host.Repaints, 0);

    // 190 mm printable, 10 mm between: 90 mm a column, 340.16 pixels at 96 per inch.
    Page.SetColumnSpace(10);
    Page.SetColumns(2);
    EXPECT_EQ(Page.Columns(), 2);
    EXPECT_EQ(Host.Relayouts, 1);
    EXPECT_EQ(Page.ColumnWidth(), 340);
    Page.SetColumns(2);
    EXPECT_EQ(Host.Relayouts, 1) << "the same count changes nothing";

    // (794 − 76 − 4 × 38) / 5 = 113.2: whole pixels, truncated.
    Page.SetColumns(5);
    EXPECT_EQ(Page.ColumnWidth(), 113);

    // The two margins are rounded together: 0.6 in each is 57.6 pixels, 115 for both, not 116.
    Page.SetColumns(1);
    Page.SetUnits(TQRUnit::Inches);
    Page.SetLeftMargin(0.6L);
    Page.SetRightMargin(0.6L);
    EXPECT_EQ(Page.ColumnWidth(), 794 - 115);
}

TEST_F(PageGeometry, StoredValuesAreTenthsOfAMillimetreWhateverThePaper)
{
    Page.SetPaperSize(TQRPaperSize::Letter);
    Page.SetUnits(TQRUnit::Inches);
    Page.ReadStoredValues(kFormValues);
    EXPECT_EQ(Page.PaperSize(), TQRPaperSize::Letter);
    EXPECT_EQ(Host.Width, 794);
    EXPECT_EQ(Host.Height, 1123);
    Page.SetUnits(TQRUnit::MM);
    EXPECT_EQ(Page.Width(), 210);
    EXPECT_EQ(Page.Length(), 297);
    for (const long double margin : {Page.TopMargin(), Page.BottomMargin(), Page.LeftMargin(), Page.RightMargin()})
        EXPECT_EQ(margin, 10);

    const std::vector<long double> distinct = {1, 2, 3, 4, 5, 6, 7};
    Page.ReadStoredValues(distinct);
    EXPECT_EQ(Page.WriteStoredValues(), distinct);
    Page.SetUnits(TQRUnit::Native);
    EXPECT_EQ(Page.BottomMargin(), 1);
    EXPECT_EQ(Page.Width(), 4);
    EXPECT_EQ(Page.ColumnSpace(), 7);

    // A list that cannot be the page's leaves it as it was.
    Page.ReadStoredValues(std::vector<long double>(6, 50));
    Page.ReadStoredValues(std::vector<long double> {1, 2, 3, 4, 5, 6, 7, 8});
    Page.ReadStoredValues(std::vector<long double> {1, std::numeric_limits<long double>::quiet_NaN(), 3, 4, 5, 6, 7});
    Page.ReadStoredValues(std::vector<long double> {1, 2, 3, std::numeric_limits<long double>::infinity(), 5, 6, 7});
    EXPECT_EQ(Page.WriteStoredValues(), distinct);
}

TEST_F(PageGeometry, PixelsFollowTheScreenAndTheZoom)
{
    Page.SizeHostFromPage();
    EXPECT_EQ(Host.Width, 794);
    EXPECT_EQ(Host.Height, 1123);

    Page.SetZoom(50);
    Page.SizeHostFromPage();
    EXPECT_EQ(Host.Width, 397);
    EXPECT_EQ(Host.Height, 561);
    EXPECT_TRUE(Near(Page.FromNative(TQRUnit::Pixels, H, 2100), 396.850393700787L, 1e-9L));
    EXPECT_TRUE(Near(Page.ToNative(TQRUnit::Pixels, V, 561), 2968.625L, 1e-9L));
    Page.SetZoom(0);
    Page.SetZoom(-5);
    EXPECT_EQ(Page.Zoom(), 50);

    TQRPage printerLike(300);
    printerLike.SetOwnerReport(&Host);
    printerLike.SizeHostFromPage();
    EXPECT_EQ(Host.Width, 2480);
    EXPECT_EQ(Host.Height, 3508);
}

TEST(PagePixels, HalvesRoundToEven)
{
    const TMeasurementScope metric(false);
    TQRPage page(254);  // one pixel a tenth of a millimetre
    TRecordingHost host;
    page.SetOwnerReport(&host);
    page.SetPaperSize(TQRPaperSize::Custom);
    page.SetUnits(TQRUnit::Native);
    page.SetWidth(100.5L);
    page.SetLength(101.5L);
    EXPECT_EQ(host.Width, 100);
    EXPECT_EQ(host.Height, 102);
}

TEST_F(PageGeometry, CharactersMeasureByTheOwnersFont)
{
    // A 10-point cell is 8 / 2.54 mm wide and 14.53 / 2.54 mm high.
    EXPECT_TRUE(Near(Page.FromNative(TQRUnit::Characters, H, 2100), 66.675L, 1e-12L));
    EXPECT_TRUE(Near(Page.FromNative(TQRUnit::Characters, V, 2970), 51.9187887130075L, 1e-9L));
    EXPECT_TRUE(Near(Page.ToNative(TQRUnit::Characters, V, 1), 57.2047244094488L, 1e-9L));
    Page.SetUnits(TQRUnit::Characters);
    EXPECT_TRUE(Near(Page.Width(), 66.675L, 1e-12L));

    Host.Font = -10;
    EXPECT_TRUE(Near(Page.Width(), 66.675L, 1e-12L));
    // A larger font has wider characters, so fewer fit.
    Host.Font = 20;
    EXPECT_TRUE(Near(Page.Width(), 33.3375L, 1e-12L));
    Host.Font = 0;
    EXPECT_TRUE(Near(Page.Width(), 66.675L, 1e-12L)) << "a font without a size counts as 10 points";
    Page.SetOwnerReport(nullptr);
    EXPECT_TRUE(Near(Page.Width(), 66.675L, 1e-12L));
}

TEST_F(PageGeometry, TheOwnerHearsWhatChanged)
{
    Page.SetTopMargin(5);
    Page.SetColumnSpace(5);
    EXPECT_EQ(Host.Repaints, 2);
    EXPECT_EQ(Host.Sizings + Host.Relayouts, 0);

    Page.SetBottomMargin(5);
    EXPECT_EQ(Host.Sizings, 1);
    EXPECT_EQ(Host.Relayouts, 1);

    Page.SetPaperSize(TQRPaperSize::A5);
    EXPECT_EQ(Host.Width, 559);  // 148 mm
    EXPECT_EQ(Host.Height, 794);  // 210 mm
    EXPECT_EQ(Host.Relayouts, 2);

    const int repaints = Host.Repaints;
    Page.SetRuler(true);
    EXPECT_EQ(Host.Repaints, repaints);
    Page.SetRuler(false);
    Page.SetUnits(TQRUnit::Inches);
    EXPECT_EQ(Host.Repaints, repaints + 2);
}

TEST_F(PageGeometry, SizingTheOwnerDoesNotSizeItAgain)
{
    // A component that answers its own resize by asking the page to size it.
    Host.OnSize = [this] {
        EXPECT_TRUE(Page.SizingHost());
        Page.SizeHostFromPage();
    };
    Page.SizeHostFromPage();
    EXPECT_EQ(Host.Sizings, 1);
    EXPECT_FALSE(Page.SizingHost());
}

TEST(UsMeasure, ReadsTheLocalesMeasurementAndTakesAnOverride)
{
    EXPECT_FALSE(LocaleMeasuresInUsUnits("C"));
    EXPECT_FALSE(LocaleMeasuresInUsUnits("xx_NOWHERE.UTF-8"));

    OverrideUsMeasure(true);
    EXPECT_TRUE(UsMeasure());
    OverrideUsMeasure(std::nullopt);
    EXPECT_EQ(UsMeasure(), LocaleMeasuresInUsUnits(""));

    const locale_t us = newlocale(LC_MEASUREMENT_MASK, "en_US.UTF-8", locale_t {});
    if (us == locale_t {})
        GTEST_SKIP() << "en_US.UTF-8 is not installed";
    freelocale(us);
    EXPECT_TRUE(LocaleMeasuresInUsUnits("en_US.UTF-8"));
}

}  // namespace
}  // namespace qrp
