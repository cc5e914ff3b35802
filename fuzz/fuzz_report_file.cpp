// The bytes as a report file: the page list opens it (header), reads the last
// page and walks back from it, then the file check walks the whole chain
// forwards and decodes every page. Both are bounded by the file: the header's
// page count is checked against the file's size and every record is visited
// once.

#include <cstdint>
#include <fstream>
#include <string>

#include "platform/exceptions.h"
#include "platform/temp_files.h"
#include "report/qr_page_list.h"
#include "report/report_file_check.h"

namespace {

// Pages read backwards from the last page, besides the file check's forward pass.
constexpr std::int32_t kMaxBackwardPages = 256;

// The page list reads files only: each input goes into one scratch file.
class TScratchFile {
public:
    TScratchFile() : Name(qrp::CreateUniqueTempFile(qrp::GetTempDirectory(), "qrp-fuzz-")) {}
    ~TScratchFile() { qrp::DeleteFile(Name); }
    TScratchFile(const TScratchFile&) = delete;
    TScratchFile& operator=(const TScratchFile&) = delete;

    const std::string& Hold(const std::uint8_t* data, std::size_t size) const
    {
        std::ofstream file(Name, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return Name;
    }

private:
    std::string Name;
};

void ReadBackwards(const std::string& fileName)
{
    qrp::TQRPageList list;
    try {
        list.AttachFile(fileName);
    } catch (const qrp::Exception&) {
        return;
    }
    const std::int32_t last = list.PageTotal();
    for (std::int32_t page = last; page >= 1 && last - page < kMaxBackwardPages; --page) {
        try {
            list.GetPage(page);
        } catch (const qrp::Exception&) {
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const TScratchFile scratch;
    const std::string& fileName = scratch.Hold(data, size);
    ReadBackwards(fileName);
    qrp::CheckReportFile(fileName);
    return 0;
}
