#pragma once
// The window a report printer is previewed in until the viewer window takes
// its place: it attaches itself as the printer's client, counts the pages the
// printer announces, and on closing detaches and asks the report component to
// drop the printer, which ends the modal preview.

#include <QWidget>

#include "platform/messages/messages.h"

namespace qrp {

class TQRPrinter;

class TPreviewHost : public QWidget, public TMessageTarget {
public:
    TPreviewHost();
    ~TPreviewHost() override;

    void Attach(TQRPrinter* printer);
    void WndProc(TMessage& message) override;

    TQRPrinter* ReportPrinter() const { return Printer; }
    int PagesAnnounced() const { return LastPagesReady; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Detach();

    TQRPrinter* Printer = nullptr;
    int LastPagesReady = 0;
};

}  // namespace qrp
