#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qrp {

// How much a problem the file check finds matters to readers.
enum class TCheckSeverity {
    // Readers get past it as they are written: the format words, which no
    // reader checks, or bytes that no reader ever looks at.
    Oddity,
    // Readers fail on the file or on some page, or miss pages it holds.
    Damage,
};

struct TCheckProblem {
    TCheckSeverity Severity = TCheckSeverity::Damage;
    // What is wrong and where: "page 2: Metafile is not valid".
    std::string Text;
    // What it means to readers, when the text alone does not tell; may be empty.
    std::string Note;
};

// Why a file is no report file at all, or nothing when it is one, sound or
// damaged. A report file begins with the format words 3 and 305; one whose
// words differ still counts as one when the rest of the header is a report
// header's (zero reserved bytes, a compression flag of 0 or 1, a date) or
// page 1's record lies framed at offset 128. The reason reads after "not a
// report file": "it is a PDF document". Raises the platform's errors when the
// file cannot be read.
std::optional<std::string> WhyNotAReportFile(const std::string& fileName);

// Validates a report file the way a viewer reads it and more: the header, the
// whole record chain in both directions, and every page's recording. Returns
// one entry per problem, each an oddity or damage; an empty list means the
// file is sound. A file that is no report file at all gives the single damage
// "not a report file (REASON)".
std::vector<TCheckProblem> InspectReportFile(const std::string& fileName);

// The texts of InspectReportFile's problems, oddities and damage alike.
std::vector<std::string> CheckReportFile(const std::string& fileName);

}  // namespace qrp
