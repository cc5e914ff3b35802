#pragma once
// Drives Qt's real print dialog from a test: a zero-time timer finds the
// active modal print dialog, lets the test fill it, then accepts or rejects it.

#include <functional>
#include <string>

class QPrintDialog;

namespace qrp::test {

// Answers the next print dialog that opens: fill runs on it, then it is
// accepted or rejected. Fails the test when no dialog opens within a second.
void AnswerPrintDialog(std::function<void(QPrintDialog&)> fill, bool accept);

// What a user does in the dialog.
void ChoosePrinter(QPrintDialog& dialog, const std::string& name);
void ChooseOutputFile(QPrintDialog& dialog, const std::string& file);
void ChoosePageRange(QPrintDialog& dialog, int from, int to);
void ChooseAllPages(QPrintDialog& dialog);
void ChooseCopies(QPrintDialog& dialog, int copies);
// Opens the printer's properties and picks the orientation there.
void ChooseOrientation(QPrintDialog& dialog, bool landscape);

}  // namespace qrp::test
