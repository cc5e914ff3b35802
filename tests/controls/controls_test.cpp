// The viewer's controls on the offscreen platform at 96 dpi: the gauge status
// bar's layout and pixels, and the page number spin edit's input handling.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QTimer>
#include <QVBoxLayout>

#include <climits>
#include <vector>

#include "controls/beep.h"
#include "controls/flat_speed_button.h"
#include "controls/flat_spin_edit.h"
#include "controls/gauge_status_bar.h"
#include "controls/spin_button.h"

namespace qrp {
namespace {

void ProcessEventsFor(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Counts beeps instead of sounding them while it lives.
class TBeepCounter {
public:
    TBeepCounter() { SetBeepHandler([this] { ++Count; }); }
    ~TBeepCounter() { SetBeepHandler({}); }
    int Count = 0;
};

// Records the regions of the paint events a widget receives.
class TPaintRecorder : public QObject {
public:
    explicit TPaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            Regions.push_back(static_cast<QPaintEvent*>(event)->region());
        return false;
    }
    std::vector<QRegion> Regions;
};

// ---------------------------------------------------------------- status bar

const QColor BarBackground(255, 255, 0);
const QColor Blue(0, 0, 255);

// The viewer's three panels: page counter, centred percent gauge in blue,
// and an empty last panel; black text, white over the bar, a yellow bar.
struct TViewerBar {
    TViewerBar()
    {
        Bar.resize(400, Bar.height());
        Bar.SetColor(BarBackground);
        Bar.SetFontColor(Qt::black);
        Bar.Panels().Add().SetWidth(100);
        TGaugeStatusPanel& gauge = Bar.Panels().Add();
        gauge.SetPanelType(sptGauge);
        gauge.SetWidth(200);
        gauge.GaugeAttrs().SetColor(Blue);
        gauge.GaugeAttrs().SetTextColor(Qt::white);
        Bar.Panels().Add().SetWidth(50);
    }
    TGaugeAttrs& Gauge() { return Bar.Panels()[1].GaugeAttrs(); }
    QImage Image() { return Bar.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    TGaugeStatusBar Bar;
};

// The columns [left, right) of the gauge's drawing rectangle, rows 1..17.
struct TPixelStats {
    int BlueBackground = 0;  // pure bar colour
    int Yellow = 0;          // pure bar background
    int Light = 0;           // text in white
    int Dark = 0;            // text in black
    int Foreign = 0;         // neither colour pair could blend into it
};

// Over the blue bar only blends of blue and white may appear (blue channel
// full); over the yellow rest only blends of yellow and black (red = green,
// no blue).
TPixelStats Classify(const QImage& image, int left, int right, bool overBar)
{
    TPixelStats stats;
    for (int y = 1; y < 18; ++y) {
        for (int x = left; x < right; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (overBar) {
                if (c.blue() != 255)
                    ++stats.Foreign;
                else if (c == Blue)
                    ++stats.BlueBackground;
                else if (c.red() > 200)
                    ++stats.Light;
            } else {
                if (c.blue() != 0 || c.red() != c.green())
                    ++stats.Foreign;
                else if (c == BarBackground)
                    ++stats.Yellow;
                else if (c.red() < 60)
                    ++stats.Dark;
            }
        }
    }
    return stats;
}

TEST(GaugeStatusBar, PartsEndAtTheRunningSumAndTheLastRunsToTheEnd)
{
    TViewerBar viewer;
    EXPECT_EQ(viewer.Bar.height(), 19);
    EXPECT_EQ(viewer.Bar.PartRect(0), QRect(0, 0, 100, 19));
    EXPECT_EQ(viewer.Bar.PartRect(1), QRect(100, 0, 200, 19));
    EXPECT_EQ(viewer.Bar.PartRect(2), QRect(300, 0, 100, 19));
    EXPECT_TRUE(viewer.Bar.PartRect(3).isEmpty());

    viewer.Bar.Panels()[2].SetWidth(500);
    EXPECT_EQ(viewer.Bar.PartRect(2), QRect(300, 0, 100, 19));
    viewer.Bar.Panels()[0].SetWidth(120);
    EXPECT_EQ(viewer.Bar.PartRect(1), QRect(120, 0, 200, 19));
    EXPECT_EQ(viewer.Bar.PartRect(2), QRect(320, 0, 80, 19));
}

TEST(GaugeStatusBar, GaugePanelIsCentredAndNeverFitsItsText)
{
    TGaugeStatusBar bar;
    TGaugeStatusPanel& panel = bar.Panels().Add();
    panel.SetAutoFit(true);
    panel.SetPanelType(sptGauge);
    EXPECT_FALSE(panel.AutoFit());
    EXPECT_EQ(panel.Alignment(), taCenter);
    EXPECT_EQ(panel.GaugeAttrs().Style(), gsPercent);
    EXPECT_EQ(panel.GaugeAttrs().Position(), 0);
}

TEST(GaugeStatusBar, BarWidthIsThePositionsShareRoundedHalfUp)
{
    TViewerBar viewer;
    // A 200-pixel part leaves a drawing rectangle 101..298, 198 wide: 37 % is 73.26.
    viewer.Gauge().SetPosition(37);
    QImage image = viewer.Image();
    EXPECT_EQ(image.pixelColor(101, 1), Blue);
    EXPECT_EQ(image.pixelColor(173, 1), Blue);
    EXPECT_EQ(image.pixelColor(174, 1), BarBackground);
    EXPECT_EQ(image.pixelColor(173, 17), Blue);
    // The bevel row above stays out of the drawing.
    EXPECT_NE(image.pixelColor(101, 0), Blue);

    // 197 wide at 50 %: 98.5 becomes 99.
    viewer.Bar.Panels()[1].SetWidth(199);
    viewer.Gauge().SetPosition(50);
    image = viewer.Image();
    EXPECT_EQ(image.pixelColor(199, 1), Blue);
    EXPECT_EQ(image.pixelColor(200, 1), BarBackground);
}

TEST(GaugeStatusBar, TextOverTheBarIsInTextColourAndTheRestInFontColour)
{
    TViewerBar viewer;
    viewer.Gauge().SetPosition(37);
    QImage image = viewer.Image();
    // "37%" lies right of the bar's end at 174: wholly black.
    TPixelStats bar = Classify(image, 101, 174, true);
    TPixelStats rest = Classify(image, 174, 299, false);
    EXPECT_EQ(bar.Foreign + rest.Foreign, 0);
    EXPECT_EQ(bar.Light, 0);
    EXPECT_GT(rest.Dark, 0);

    // At 50 % the bar ends at 200, in the middle of the centred "50%".
    viewer.Gauge().SetPosition(50);
    image = viewer.Image();
    bar = Classify(image, 101, 200, true);
    rest = Classify(image, 200, 299, false);
    EXPECT_EQ(bar.Foreign + rest.Foreign, 0);
    EXPECT_GT(bar.Light, 0);
    EXPECT_GT(rest.Dark, 0);
    // A character across the bar's end has white and black columns side by side.
    const auto columnHas = [&image](int x, auto test) {
        for (int y = 1; y < 18; ++y)
            if (test(image.pixelColor(x, y)))
                return true;
        return false;
    };
    EXPECT_TRUE(columnHas(198, [](QColor c) { return c.blue() == 255 && c.red() > 100; }) ||
                columnHas(199, [](QColor c) { return c.blue() == 255 && c.red() > 100; }));
    EXPECT_TRUE(columnHas(200, [](QColor c) { return c.red() < 150 && c.blue() == 0; }) ||
                columnHas(201, [](QColor c) { return c.red() < 150 && c.blue() == 0; }));
}

TEST(GaugeStatusBar, EmptyFullAndOverfullGauges)
{
    TViewerBar viewer;
    QImage image = viewer.Image();
    TPixelStats rest = Classify(image, 101, 299, false);
    EXPECT_EQ(rest.Foreign, 0);
    EXPECT_GT(rest.Dark, 0);

    viewer.Gauge().SetPosition(100);
    image = viewer.Image();
    TPixelStats bar = Classify(image, 101, 299, true);
    EXPECT_EQ(bar.Foreign, 0);
    EXPECT_GT(bar.Light, 0);

    // Not clamped: 150 covers the panel and shows "150%", wider than "100%".
    viewer.Gauge().SetPosition(150);
    const QImage overfull = viewer.Image();
    bar = Classify(overfull, 101, 299, true);
    EXPECT_EQ(bar.Foreign, 0);
    EXPECT_EQ(overfull.pixelColor(299, 1), QColor(viewer.Bar.palette().color(QPalette::Light)));
    EXPECT_NE(overfull.copy(100, 0, 200, 19), image.copy(100, 0, 200, 19));
}

TEST(GaugeStatusBar, GaugeTextReplacesThePercentageWithTheSameSplit)
{
    TViewerBar viewer;
    viewer.Gauge().SetPosition(50);
    const QImage percent = viewer.Image();
    viewer.Bar.Panels()[1].SetText(QStringLiteral("MMMMMMMM"));
    const QImage text = viewer.Image();
    EXPECT_NE(text, percent);
    EXPECT_EQ(Classify(text, 101, 200, true).Foreign + Classify(text, 200, 299, false).Foreign, 0);
    EXPECT_GT(Classify(text, 101, 200, true).Light, Classify(percent, 101, 200, true).Light);
}

TEST(GaugeStatusBar, DisabledPanelOrBarShowsOnlyTheBackground)
{
    TViewerBar viewer;
    viewer.Gauge().SetPosition(50);
    viewer.Bar.Panels()[0].SetText(QStringLiteral("Page 1 of 3"));
    viewer.Bar.Panels()[1].SetEnabled(false);
    QImage image = viewer.Image();
    EXPECT_EQ(Classify(image, 101, 299, false).Yellow, 198 * 17);
    EXPECT_GT(Classify(image, 1, 99, false).Dark, 0);

    viewer.Bar.Panels()[1].SetEnabled(true);
    viewer.Bar.setEnabled(false);
    image = viewer.Image();
    EXPECT_EQ(Classify(image, 101, 299, false).Yellow, 198 * 17);
    EXPECT_EQ(Classify(image, 1, 99, false).Yellow, 98 * 17);
}

// The columns holding dark pixels in a text panel's drawing rectangle.
std::pair<int, int> DarkColumns(const QImage& image, int left, int right)
{
    int first = -1;
    int last = -1;
    for (int x = left; x < right; ++x) {
        for (int y = 1; y < 18; ++y) {
            if (image.pixelColor(x, y).red() < 128) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

TEST(GaugeStatusBar, TextPanelsAlignCutAndShowAmpersands)
{
    TViewerBar viewer;
    TGaugeStatusPanel& panel = viewer.Bar.Panels()[0];
    panel.SetText(QStringLiteral("1&2"));
    const auto [leftFirst, leftLast] = DarkColumns(viewer.Image(), 1, 99);
    EXPECT_GE(leftFirst, 1);
    EXPECT_LT(leftFirst, 5);
    // "&" is drawn, not taken as a mnemonic: three characters, not two.
    panel.SetText(QStringLiteral("12"));
    EXPECT_LT(DarkColumns(viewer.Image(), 1, 99).second, leftLast);

    panel.SetText(QStringLiteral("1&2"));
    panel.SetAlignment(taRightJustify);
    const auto [rightFirst, rightLast] = DarkColumns(viewer.Image(), 1, 99);
    EXPECT_EQ(rightLast - rightFirst, leftLast - leftFirst);
    EXPECT_GT(rightLast, 92);
    EXPECT_LE(rightLast, 97);

    // Too long for its panel: cut at the panel's edge, the gauge untouched.
    const QImage before = viewer.Image();
    panel.SetText(QString(40, QLatin1Char('W')));
    const QImage image = viewer.Image();
    EXPECT_EQ(image.copy(99, 0, 301, 19), before.copy(99, 0, 301, 19));
    EXPECT_GT(Classify(image, 1, 99, false).Dark, 0);
}

TEST(GaugeStatusBar, AutoFitPanelTakesTheWidthOfItsText)
{
    TGaugeStatusBar bar;
    bar.resize(400, bar.height());
    TGaugeStatusPanel& panel = bar.Panels().Add();
    bar.Panels().Add();
    panel.SetAutoFit(true);
    panel.SetText(QStringLiteral("Page 12 of 300"));
    const int textWidth = QFontMetrics(bar.font()).horizontalAdvance(QStringLiteral("Page 12 of 300"));
    EXPECT_EQ(panel.Width(), textWidth + 6);
    panel.SetBorderWidth(2);
    EXPECT_EQ(panel.Width(), textWidth + 8);
    EXPECT_EQ(bar.PartRect(1).left(), textWidth + 8);
    panel.SetWidth(10);
    EXPECT_EQ(panel.Width(), textWidth + 8);
}

TEST(GaugeStatusBar, ChangeRedrawsOnlyItsPanelAtOnce)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* bar = new TGaugeStatusBar;
    layout->addWidget(bar);
    window.resize(400, 60);
    bar->Panels().Add().SetWidth(100);
    bar->Panels().Add().SetPanelType(sptGauge);
    bar->Panels()[1].SetWidth(200);
    bar->Panels().Add();
    window.show();
    ProcessEventsFor(50);

    TPaintRecorder paints(bar);
    bar->Panels()[1].GaugeAttrs().SetPosition(37);
    ASSERT_EQ(paints.Regions.size(), 1u);
    EXPECT_EQ(paints.Regions[0], QRegion(bar->PartRect(1)));

    bar->Panels()[1].GaugeAttrs().SetPosition(37);
    bar->Panels()[0].SetText(QStringLiteral("Page 1 of 3"));
    ASSERT_EQ(paints.Regions.size(), 2u);
    EXPECT_EQ(paints.Regions[1], QRegion(bar->PartRect(0)));
    bar->Panels()[0].SetText(QStringLiteral("Page 1 of 3"));
    EXPECT_EQ(paints.Regions.size(), 2u);
}

// ----------------------------------------------------------------- spin edit

void Type(QWidget* widget, int key, const QString& text, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
}

void Mouse(QWidget* widget, QEvent::Type type, QPoint at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// The viewer's page number box: 1..999999, counting its change events.
struct TPageBox {
    TPageBox()
    {
        Edit.MinValue = 1;
        Edit.MaxValue = 999999;
        Edit.SetValue(1);
        Edit.OnChange = [this](TFlatSpinEditInteger* sender) {
            EXPECT_EQ(sender, &Edit);
            ++Changes;
        };
    }
    TFlatSpinEditInteger Edit;
    int Changes = 0;
};

TEST(FlatSpinEdit, ValueWritesClampAndFireOnlyOnChange)
{
    TPageBox box;
    EXPECT_EQ(box.Edit.text(), QStringLiteral("1"));
    box.Edit.SetValue(0);
    EXPECT_EQ(box.Edit.text(), QStringLiteral("1"));
    EXPECT_EQ(box.Changes, 0);
    box.Edit.SetValue(1000000);
    EXPECT_EQ(box.Edit.text(), QStringLiteral("999999"));
    EXPECT_EQ(box.Changes, 1);
    box.Edit.UpClick();
    EXPECT_EQ(box.Edit.text(), QStringLiteral("999999"));
    EXPECT_EQ(box.Changes, 1);
    box.Edit.DownClick();
    EXPECT_EQ(box.Edit.Value(), 999998);
    EXPECT_EQ(box.Changes, 2);
}

TEST(FlatSpinEdit, EqualLimitsAcceptAnyNumber)
{
    TFlatSpinEditInteger edit;
    EXPECT_EQ(edit.text(), QStringLiteral("0"));
    edit.SetValue(-5);
    EXPECT_EQ(edit.Value(), -5);
    edit.SetValue(INT_MAX);
    edit.UpClick();
    EXPECT_EQ(edit.Value(), INT_MAX);
    edit.SetValue(INT_MIN);
    edit.DownClick();
    EXPECT_EQ(edit.Value(), INT_MIN);
}

TEST(FlatSpinEdit, TextReadsAsSignAndDigitsElseMinValue)
{
    TPageBox box;
    const auto read = [&box](const char* text) {
        box.Edit.setText(QString::fromLatin1(text));
        return box.Edit.Value();
    };
    EXPECT_EQ(read("+12"), 12);
    EXPECT_EQ(read("-7"), -7);
    EXPECT_EQ(read("-2147483648"), INT_MIN);
    EXPECT_EQ(read("2147483647"), INT_MAX);
    EXPECT_EQ(read("2147483648"), 1);
    EXPECT_EQ(read(""), 1);
    EXPECT_EQ(read("-"), 1);
    EXPECT_EQ(read("1,5"), 1);
    EXPECT_EQ(read(" 12"), 1);
    EXPECT_EQ(read("12a"), 1);
}

TEST(FlatSpinEdit, TypingAcceptsNumbersAndBeepsAtTheRest)
{
    TBeepCounter beeps;
    TPageBox box;
    box.Edit.setText(QString());
    box.Changes = 0;
    Type(&box.Edit, Qt::Key_4, QStringLiteral("4"));
    Type(&box.Edit, Qt::Key_2, QStringLiteral("2"));
    EXPECT_EQ(box.Edit.text(), QStringLiteral("42"));
    EXPECT_EQ(box.Changes, 2);
    Type(&box.Edit, Qt::Key_A, QStringLiteral("a"));
    Type(&box.Edit, Qt::Key_Space, QStringLiteral(" "));
    EXPECT_EQ(box.Edit.text(), QStringLiteral("42"));
    EXPECT_EQ(beeps.Count, 2);

    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(&box.Edit, &enter);
    EXPECT_EQ(beeps.Count, 3);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_EQ(box.Edit.text(), QStringLiteral("42"));

    Type(&box.Edit, Qt::Key_Backspace, QStringLiteral("\b"));
    Type(&box.Edit, Qt::Key_Minus, QStringLiteral("-"));
    EXPECT_EQ(box.Edit.text(), QStringLiteral("4-"));
    EXPECT_EQ(beeps.Count, 3);
}

TEST(FlatSpinEdit, LocalesDecimalSeparatorIsAcceptedAndReadsAsMinValue)
{
    TBeepCounter beeps;
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::Czech, QLocale::Czechia));
    TPageBox box;
    box.Edit.setText(QStringLiteral("5"));
    Type(&box.Edit, Qt::Key_Comma, QStringLiteral(","));
    Type(&box.Edit, Qt::Key_Period, QStringLiteral("."));
    QLocale::setDefault(previous);
    EXPECT_EQ(box.Edit.text(), QStringLiteral("5,"));
    EXPECT_EQ(beeps.Count, 1);
    EXPECT_EQ(box.Edit.Value(), 1);
}

TEST(FlatSpinEdit, DisabledEditorPassesOnlyControlKeys)
{
    TBeepCounter beeps;
    TPageBox box;
    box.Edit.EditorEnabled = false;
    Type(&box.Edit, Qt::Key_5, QStringLiteral("5"));
    Type(&box.Edit, Qt::Key_Backspace, QStringLiteral("\b"));
    EXPECT_EQ(beeps.Count, 2);
    EXPECT_EQ(box.Edit.text(), QStringLiteral("1"));
    Type(&box.Edit, Qt::Key_Up, QString());
    EXPECT_EQ(box.Edit.text(), QStringLiteral("2"));

    box.Edit.selectAll();
    Type(&box.Edit, Qt::Key_X, QStringLiteral("\x18"), Qt::ControlModifier);
    EXPECT_EQ(box.Edit.text(), QStringLiteral("2"));
    EXPECT_EQ(beeps.Count, 2);

    // With all the text selected, the menu offers copying only; the edit
    // itself stays writable, and with the editor enabled cutting returns.
    const auto enabledActions = [&box] {
        std::unique_ptr<QMenu> menu(box.Edit.CreateContextMenu());
        QStringList enabled;
        for (QAction* action : menu->actions())
            if (!action->isSeparator() && action->isEnabled())
                enabled << action->text().section(QLatin1Char('\t'), 0, 0);
        return enabled;
    };
    EXPECT_EQ(enabledActions(), QStringList({QStringLiteral("&Copy")}));
    EXPECT_FALSE(box.Edit.isReadOnly());
    box.Edit.EditorEnabled = true;
    EXPECT_TRUE(enabledActions().contains(QStringLiteral("Cu&t")));
}

TEST(FlatSpinEdit, ArrowKeysStepByIncrementAndReadOnlyBeeps)
{
    TBeepCounter beeps;
    TPageBox box;
    box.Edit.Increment = 5;
    Type(&box.Edit, Qt::Key_Up, QString());
    Type(&box.Edit, Qt::Key_Up, QString());
    EXPECT_EQ(box.Edit.Value(), 11);
    Type(&box.Edit, Qt::Key_Down, QString());
    EXPECT_EQ(box.Edit.Value(), 6);
    Type(&box.Edit, Qt::Key_Down, QString());
    Type(&box.Edit, Qt::Key_Down, QString());
    EXPECT_EQ(box.Edit.Value(), 1);
    // An unparsable text steps from MinValue.
    box.Edit.setText(QStringLiteral("x"));
    box.Edit.UpClick();
    EXPECT_EQ(box.Edit.Value(), 6);

    box.Edit.setReadOnly(true);
    box.Edit.UpClick();
    box.Edit.DownClick();
    EXPECT_EQ(beeps.Count, 2);
    EXPECT_EQ(box.Edit.Value(), 6);
}

// A window holding the page box and another edit to move the focus to.
struct TFocusWindow {
    TFocusWindow()
    {
        auto* layout = new QVBoxLayout(&Window);
        layout->addWidget(&Box.Edit);
        layout->addWidget(Other);
        Window.show();
        Window.activateWindow();
        QApplication::setActiveWindow(&Window);
        ProcessEventsFor(50);
    }
    ~TFocusWindow() { Box.Edit.setParent(nullptr); }
    TPageBox Box;
    QWidget Window;
    QLineEdit* Other = new QLineEdit(&Window);
};

TEST(FlatSpinEdit, LeavingCorrectsAnOutOfRangeNumber)
{
    TFocusWindow window;
    TFlatSpinEditInteger& edit = window.Box.Edit;
    edit.setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(edit.hasFocus());
    EXPECT_EQ(edit.selectedText(), QStringLiteral("1"));
    Type(&edit, Qt::Key_0, QStringLiteral("0"));
    EXPECT_EQ(edit.Value(), 0);
    window.Box.Changes = 0;

    // A popup does not take the focus from the edit's point of view.
    QFocusEvent popup(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(&edit, &popup);
    EXPECT_EQ(edit.text(), QStringLiteral("0"));

    window.Other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit.text(), QStringLiteral("1"));
    EXPECT_EQ(window.Box.Changes, 1);

    // Unparsable text reads as MinValue, which is in range: it stays.
    edit.setFocus(Qt::MouseFocusReason);
    EXPECT_TRUE(edit.selectedText().isEmpty());
    edit.setText(QStringLiteral("abc"));
    window.Other->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(edit.text(), QStringLiteral("abc"));
}

TEST(FlatSpinEdit, FlatBorderInFaceColours)
{
    TFocusWindow window;
    TFlatSpinEditInteger& edit = window.Box.Edit;
    edit.SetColorFlat(QColor(200, 200, 200));
    edit.SetColorFocused(Qt::white);
    edit.setText(QString());
    const auto pixel = [&edit](int x, int y) { return edit.grab().toImage().pixelColor(x, y); };
    const int right = edit.width() - 1;
    const int bottom = edit.height() - 1;
    EXPECT_EQ(pixel(0, 0), QColor(160, 149, 131));
    EXPECT_EQ(pixel(right, bottom), QColor(160, 149, 131));
    EXPECT_EQ(pixel(1, 1), QColor(200, 200, 200));
    EXPECT_EQ(pixel(2, bottom - 2), QColor(200, 200, 200));
    EXPECT_EQ(pixel(10, edit.height() / 2), QColor(200, 200, 200));

    edit.setFocus(Qt::TabFocusReason);
    EXPECT_EQ(pixel(0, 0), QColor(160, 149, 131));
    EXPECT_EQ(pixel(1, 1), QColor(Qt::white));
    EXPECT_EQ(pixel(right - 2, 2), QColor(Qt::white));
    EXPECT_EQ(pixel(10, edit.height() / 2), QColor(Qt::white));
}

TEST(FlatSpinEdit, ParentColourIsFollowedUntilColorFlatIsWritten)
{
    QWidget parent;
    QPalette colours = parent.palette();
    colours.setColor(QPalette::Window, QColor(10, 20, 30));
    parent.setPalette(colours);
    TFlatSpinEditInteger* edit = new TFlatSpinEditInteger(&parent);
    EXPECT_EQ(edit->ColorFlat(), QColor(10, 20, 30));
    colours.setColor(QPalette::Window, QColor(40, 50, 60));
    parent.setPalette(colours);
    EXPECT_EQ(edit->ColorFlat(), QColor(40, 50, 60));
    edit->SetColorFlat(Qt::red);
    colours.setColor(QPalette::Window, QColor(70, 80, 90));
    parent.setPalette(colours);
    EXPECT_EQ(edit->ColorFlat(), QColor(Qt::red));
    EXPECT_FALSE(edit->ParentColor());
}

TEST(FlatSpinEdit, SizesAndButtonPlaces)
{
    TFlatSpinEditInteger edit;
    edit.show();
    const int textHeight = QFontMetrics(edit.font()).height();
    EXPECT_EQ(edit.width(), 121);
    EXPECT_EQ(edit.height(), std::max(19, textHeight + 7));
    edit.resize(121, 5);
    EXPECT_EQ(edit.height(), textHeight + 7);

    QFont font = edit.font();
    font.setPixelSize(30);
    edit.setFont(font);
    edit.resize(121, 5);
    EXPECT_EQ(edit.height(), QFontMetrics(font).height() + 7);

    // The buttons: 2 pixels before the right edge, inside the border's height.
    edit.resize(150, 60);
    const TSpinButton* spin = edit.SpinButton();
    EXPECT_EQ(spin->geometry(), QRect(150 - 24, 3, 22, 54));
    EXPECT_EQ(spin->UpButton()->geometry(), QRect(0, 0, 11, 54));
    EXPECT_EQ(spin->DownButton()->geometry(), QRect(10, 0, 11, 54));
}

// The glyph's black pixels, as (x, y) in the button.
std::vector<QPoint> BlackPixels(QWidget* button)
{
    const QImage image = button->grab().toImage();
    std::vector<QPoint> black;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 1; x < image.width() - 1; ++x)
            if (y > 0 && y < image.height() - 1 && image.pixelColor(x, y) == QColor(Qt::black))
                black.push_back(QPoint(x, y));
    return black;
}

TEST(FlatSpinEdit, ButtonGlyphsAndLooks)
{
    TPageBox box;
    box.Edit.show();
    TTimerSpeedButton* up = box.Edit.SpinButton()->UpButton();
    TTimerSpeedButton* down = box.Edit.SpinButton()->DownButton();
    ASSERT_EQ(up->height(), box.Edit.height() - 6);
    // Centred in 11 columns; 2 pixels from the top, or from the bottom.
    const std::vector<QPoint> upTriangle{{5, 3}, {4, 4}, {5, 4}, {6, 4}, {3, 5}, {4, 5}, {5, 5}, {6, 5}, {7, 5}};
    const int h = down->height();
    const std::vector<QPoint> downTriangle{{3, h - 6}, {4, h - 6}, {5, h - 6}, {6, h - 6}, {7, h - 6},
                                           {4, h - 5}, {5, h - 5}, {6, h - 5}, {5, h - 4}};
    EXPECT_EQ(BlackPixels(up), upTriangle);
    EXPECT_EQ(BlackPixels(down), downTriangle);

    QImage idle = up->grab().toImage();
    EXPECT_EQ(idle.pixelColor(0, 0), QColor(160, 149, 131));
    EXPECT_EQ(idle.pixelColor(10, up->height() - 1), QColor(160, 149, 131));
    EXPECT_EQ(idle.pixelColor(2, 10), box.Edit.FaceColor());

    Mouse(up, QEvent::MouseButtonPress, QPoint(5, 5));
    const QImage pressed = up->grab().toImage();
    EXPECT_EQ(pressed.pixelColor(0, 0), QColor(Qt::black));
    EXPECT_EQ(pressed.pixelColor(10, up->height() - 1), QColor(Qt::white));
    EXPECT_EQ(pressed.pixelColor(2, 10), QColor(217, 214, 197));
    std::vector<QPoint> shifted;
    for (const QPoint& p : upTriangle)
        shifted.push_back(p + QPoint(1, 1));
    EXPECT_EQ(BlackPixels(up), shifted);
    Mouse(up, QEvent::MouseButtonRelease, QPoint(5, 5));

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QApplication::sendEvent(up, &enter);
    const QImage hovered = up->grab().toImage();
    EXPECT_EQ(hovered.pixelColor(0, 0), QColor(Qt::white));
    EXPECT_EQ(hovered.pixelColor(10, up->height() - 1), QColor(Qt::black));
    EXPECT_EQ(hovered.pixelColor(2, 10), QColor(235, 234, 225));

    down->setEnabled(false);
    EXPECT_TRUE(BlackPixels(down).empty());
}

TEST(FlatSpinEdit, ButtonsClickOnReleaseOverThem)
{
    TPageBox box;
    box.Edit.show();
    TTimerSpeedButton* up = box.Edit.SpinButton()->UpButton();
    TTimerSpeedButton* down = box.Edit.SpinButton()->DownButton();
    Mouse(up, QEvent::MouseButtonPress, QPoint(5, 5));
    Mouse(up, QEvent::MouseButtonRelease, QPoint(5, 5));
    EXPECT_EQ(box.Edit.Value(), 2);
    Mouse(up, QEvent::MouseButtonPress, QPoint(5, 5));
    Mouse(up, QEvent::MouseMove, QPoint(40, 5));
    EXPECT_FALSE(up->Pressed());
    Mouse(up, QEvent::MouseButtonRelease, QPoint(40, 5));
    EXPECT_EQ(box.Edit.Value(), 2);
    Mouse(down, QEvent::MouseButtonPress, QPoint(5, 5));
    Mouse(down, QEvent::MouseButtonRelease, QPoint(5, 5));
    EXPECT_EQ(box.Edit.Value(), 1);
    EXPECT_EQ(box.Changes, 2);
}

TEST(FlatSpinEdit, PressingAButtonFocusesTheEdit)
{
    TFocusWindow window;
    window.Other->setFocus();
    TTimerSpeedButton* up = window.Box.Edit.SpinButton()->UpButton();
    Mouse(up, QEvent::MouseButtonPress, QPoint(5, 5));
    EXPECT_TRUE(window.Box.Edit.hasFocus());
    Mouse(up, QEvent::MouseButtonRelease, QPoint(5, 5));
}

TEST(FlatSpinEdit, HeldButtonRepeatsAfter400ThenEvery100Milliseconds)
{
    TPageBox box;
    box.Edit.show();
    TTimerSpeedButton* up = box.Edit.SpinButton()->UpButton();
    EXPECT_EQ(up->RepeatTimer(), nullptr);
    Mouse(up, QEvent::MouseButtonPress, QPoint(5, 5));
    ASSERT_NE(up->RepeatTimer(), nullptr);
    EXPECT_TRUE(up->RepeatTimer()->isActive());
    EXPECT_EQ(up->RepeatTimer()->interval(), 400);
    EXPECT_EQ(box.Edit.Value(), 1);

    QElapsedTimer clock;
    clock.start();
    while (box.Edit.Value() == 1 && clock.elapsed() < 3000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    EXPECT_GE(clock.elapsed(), 390);
    EXPECT_EQ(box.Edit.Value(), 2);
    EXPECT_EQ(up->RepeatTimer()->interval(), 100);
    ProcessEventsFor(350);
    const int held = box.Edit.Value();
    EXPECT_GE(held, 4);
    EXPECT_LE(held, 6);

    // Off the button it stops stepping but keeps the timer until released.
    Mouse(up, QEvent::MouseMove, QPoint(40, 5));
    ProcessEventsFor(250);
    EXPECT_EQ(box.Edit.Value(), held);
    Mouse(up, QEvent::MouseMove, QPoint(5, 5));
    Mouse(up, QEvent::MouseButtonRelease, QPoint(5, 5));
    EXPECT_EQ(box.Edit.Value(), held + 1);
    EXPECT_FALSE(up->RepeatTimer()->isActive());
}

}  // namespace
}  // namespace qrp
