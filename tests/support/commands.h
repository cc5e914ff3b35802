#pragma once
// Shell commands from tests, and what poppler's tools say of a PDF file.

#include <filesystem>
#include <string>

namespace qrp::test {

struct TCommandResult {
    int Status = -1;  // the exit status, -1 when the command did not end normally
    std::string Output;
};

// Runs a shell command and collects its standard output.
TCommandResult RunCommand(const std::string& command);

// The text without its trailing blanks and line ends.
std::string Trimmed(std::string text);

// The page count pdfinfo reports, or -1.
int PdfPageCount(const std::filesystem::path& file);
// The size of page 1 as pdfinfo gives it ("595 x 842"), or empty.
std::string PdfPageSize(const std::filesystem::path& file);
// The text of pages first to last (pdftotext).
std::string PdfText(const std::filesystem::path& file, int first, int last);

}  // namespace qrp::test
