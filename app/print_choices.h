#pragma once
// How the print dialog's choices reach the report printer that holds a loaded
// document. The dialog opens on the document's paper and orientation; once it
// is confirmed, the printer (with its dialog settings: collation, duplex, the
// PDF file), copies and page range go to the report printer, the paper that
// loading recognised stays, and the orientation is the dialog's: the
// document's own unless the user picked another.

namespace qrp {

class TQRPrinter;
class TQRReport;

// Before the print setup: the report's page takes the document's paper and orientation.
void OfferDocumentPaper(const TQRPrinter& document, TQRReport& report);
// After a confirmed print setup: the choices go to the report printer.
void TakePrintChoices(const TQRReport& report, TQRPrinter& document);

}  // namespace qrp
