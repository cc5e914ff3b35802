#pragma once
// The viewer's export command: a save dialog offering the formats of the
// export filters (PDF, PNG, SVG), then the shown document written through the
// report printer's ExportToFilter. A failure names the file.

#include <string>

class QWidget;

namespace qrp {

class TQRPrinter;
struct TQRExportFilterEntry;

// Runs the save dialog, suggesting the shown file's name in its folder (or
// nothing before a file is shown), and exports on OK.
void ExportReportDialog(QWidget* parent, TQRPrinter& printer, const std::string& shownFile);

// Writes the document into fileName through filter; raises "Soubor <fileName>
// nelze uložit: <why>" when that fails.
void ExportReport(TQRPrinter& printer, const std::string& fileName, const TQRExportFilterEntry& filter);

}  // namespace qrp
