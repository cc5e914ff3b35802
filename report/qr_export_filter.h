#pragma once
// An export filter writes a report document into a file of another format,
// one page recording at a time: Start, WritePage for every page, Finish. The
// report printer's ExportToFilter drives it over the pages it holds; the
// filters themselves (PDF, PNG, SVG) live in export/.

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "platform/emf/player/emf_player.h"
#include "platform/exceptions.h"

namespace qrp {

class TMetafile;

// An export that cannot be carried out: a document without pages, a page too
// large for a picture.
class EQRExportError : public Exception {
public:
    using Exception::Exception;
};

class TQRExportFilter {
public:
    explicit TQRExportFilter(std::string fileName) : OutputName(std::move(fileName)) {}
    virtual ~TQRExportFilter() = default;
    TQRExportFilter(const TQRExportFilter&) = delete;
    TQRExportFilter& operator=(const TQRExportFilter&) = delete;

    // The file the filter was made for.
    const std::string& FileName() const { return OutputName; }
    // The file page pageNumber goes to: FileName, unless the filter writes a file per page.
    virtual std::string PageFileName(std::int32_t) const { return OutputName; }

    // Begins a document titled title of pageCount pages.
    virtual void Start(const std::string& title, std::int32_t pageCount) = 0;
    // Adds a page; pageNumber is its number in the document.
    virtual void WritePage(const TMetafile& page, std::int32_t pageNumber) = 0;
    // Completes the output. A filter left before Finish leaves no partly written file.
    virtual void Finish() = 0;

    // Pixels per inch of the PNG and SVG pictures.
    double Resolution = 96;
    // Hears of the problems met while a page is played, when set: one handler per page.
    std::function<emf::TProblemHandler(std::int32_t pageNumber)> ProblemHandlerFor;

protected:
    emf::TProblemHandler ProblemHandler(std::int32_t pageNumber) const
    {
        return ProblemHandlerFor ? ProblemHandlerFor(pageNumber) : emf::TProblemHandler {};
    }

private:
    std::string OutputName;
};

}  // namespace qrp
