#pragma once
// The system print dialog as a component: Qt's print dialog, which lists the
// CUPS queues and the PDF file printer, edits a platform printer object. The
// dialog starts from what the edited printer holds (printer, paper,
// orientation, copies, collation, duplex); a confirmed dialog selects the
// user's choices into it, a cancelled one leaves it as it was.

#include <cstdint>
#include <functional>
#include <string>

class QDialog;
class QWidget;

namespace qrp {

class TPrinter;
class TQRCommonDialog;

using TDialogEvent = std::function<void(TQRCommonDialog* sender)>;

// Runs a system dialog modally inside the application and tells it when its
// window appears and goes.
class TQRCommonDialog {
public:
    TQRCommonDialog();
    virtual ~TQRCommonDialog();
    TQRCommonDialog(const TQRCommonDialog&) = delete;
    TQRCommonDialog& operator=(const TQRCommonDialog&) = delete;

    // Shows the dialog; true when the user confirmed it.
    virtual bool RunModal() = 0;

    // Fired when the dialog window is shown and when it goes.
    TDialogEvent OnShow;
    TDialogEvent OnClose;
    // The dialog's window while it is shown; none otherwise.
    QWidget* DialogWindow() const { return Window; }

protected:
    // Runs dialog modally: the application's other windows are disabled while
    // it runs, and the window that was active is active again afterwards. The
    // dialog is placed by CenterDialog when it appears. Returns exec()'s result.
    int RunSystemDialog(QDialog& dialog);

private:
    class TWindowWatch;
    QWidget* Window = nullptr;
};

// Horizontally centred on its screen, its top at a third of the free height.
void CenterDialog(QWidget& dialog);

class TQRBasePrintDialog : public TQRCommonDialog {
public:
    // Edits the application's shared printer object.
    TQRBasePrintDialog();

    TPrinter* EditedPrinter;
    // The edited printer's selection when the dialog was prepared.
    std::string DeviceName;
    std::string DriverName;
    std::string PortName;
};

enum TPrintDialogOption : unsigned {
    poPrintToFile = 1,
    poPageNums = 2,
    poSelection = 4,
    poWarning = 8,
    poHelp = 16,
    poDisablePrintToFile = 32,
};
using TPrintDialogOptions = unsigned;

enum TPrintRange : std::uint8_t { prAllPages = 0, prSelection = 1, prPageNums = 2 };

class TQRPrintDialog : public TQRBasePrintDialog {
public:
    bool RunModal() override;

    int Copies() const { return CopyCount; }
    // Also the edited printer's copies.
    void SetCopies(int copies);

    bool Collate = false;
    int FromPage = 0;
    int ToPage = 0;
    int MinPage = 0;
    int MaxPage = 0;
    // poPageNums offers a page range and poSelection the selection. The PDF
    // file printer is always offered: it is one of the printers, so the
    // print-to-file options have nothing of their own to switch; Qt's dialog
    // has no help button and warns of nothing by itself, so poHelp and
    // poWarning neither.
    TPrintDialogOptions Options = 0;
    // After a confirmed dialog: the document goes to a file (the PDF file printer).
    bool PrintToFile = false;
    TPrintRange PrintRange = prAllPages;

private:
    int CopyCount = 0;
};

}  // namespace qrp
