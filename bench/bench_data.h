#pragma once
// Data for the benchmarks: real page recordings when the shared corpus lies
// beside the checkout, recorded report-like pages otherwise, and report files
// of many pages in the temporary directory.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/emf/metafile.h"

namespace qrp::bench {

// The pages of the bundled sample report.
std::vector<TMetafile> SampleReportPages();
// The shared corpus's sound recordings (report pages and real-world
// pictures); none when the corpus is absent.
std::vector<TMetafile> CorpusRecordings();

// About size bytes of concatenated page recordings.
std::vector<std::uint8_t> EmfLikeData(std::size_t size);

// A report file of pageCount small plain pages, made once per process and
// deleted at exit.
const std::string& ReportFileWithPages(int pageCount);
// A report file of the pages in the temporary directory, deleted at exit.
std::string WriteReportFile(const std::vector<TMetafile>& pages);

}  // namespace qrp::bench
