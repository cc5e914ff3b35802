#include "bench/bench_data.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>

#include "platform/emf/emf_writer.h"
#include "platform/emf/metafile.h"
#include "platform/temp_files.h"
#include "report/qr_page_list.h"

namespace qrp::bench {

namespace {
std::vector<std::uint8_t> RecordedReportPage(int seed)
{
    emf::TEmfWriter page(794, 1123);
    page.SetBkModeTransparent();
    page.SelectObject(page.CreateFont({-13, 400, false, false, 238, u"Arial"}));
    page.SelectObject(page.CreatePen(emf::PS_SOLID, 1, 0));
    for (int row = 0; row < 40; ++row) {
        const std::int32_t y = 100 + row * 24;
        const std::string number = std::to_string(seed * 1000 + row);
        page.TextOut(45, y, std::u16string(number.begin(), number.end()));
        page.TextOut(150, y, u"Odb\u011Bratel s.r.o., Praha");
        page.MoveTo(38, y + 20);
        page.LineTo(756, y + 20);
    }
    return page.Finish();
}

std::vector<std::vector<std::uint8_t>> CorpusPages()
{
    std::vector<std::vector<std::uint8_t>> pages;
    const std::filesystem::path root = QRP_SOURCE_DIR "/../shared/corpus/gdi-pages";
    std::error_code error;
    if (!std::filesystem::is_directory(root, error))
        return pages;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        if (entry.path().extension() != ".emf")
            continue;
        TMetafile page;
        page.LoadFromFile(entry.path().string());
        pages.push_back(page.Bytes());
    }
    return pages;
}

struct TempFiles {
    std::vector<std::string> Names;
    ~TempFiles()
    {
        for (const std::string& name : Names)
            DeleteFile(name);
    }
};
}  // namespace

std::vector<TMetafile> SampleReportPages()
{
    std::vector<TMetafile> pages;
    TQRPageList list;
    list.AttachFile(QRP_SOURCE_DIR "/examples/sample.qrp");
    for (std::int32_t n = 1; n <= list.PageTotal(); ++n)
        pages.push_back(*list.GetPage(n));
    return pages;
}

std::vector<TMetafile> CorpusRecordings()
{
    std::vector<TMetafile> pages;
    for (const char* folder : {"/../shared/corpus/gdi-pages", "/../shared/corpus/emf-train"}) {
        const std::filesystem::path root = std::string(QRP_SOURCE_DIR) + folder;
        std::error_code error;
        if (!std::filesystem::is_directory(root, error))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(root)) {
            if (entry.path().extension() != ".emf" || entry.path().filename().string().rfind("bad_", 0) == 0)
                continue;
            pages.emplace_back();
            pages.back().LoadFromFile(entry.path().string());
        }
    }
    return pages;
}

std::vector<std::uint8_t> EmfLikeData(std::size_t size)
{
    auto pages = CorpusPages();
    if (pages.empty())
        for (int seed = 1; seed <= 8; ++seed)
            pages.push_back(RecordedReportPage(seed));
    std::vector<std::uint8_t> data;
    for (std::size_t i = 0; data.size() < size; ++i)
        data.insert(data.end(), pages[i % pages.size()].begin(), pages[i % pages.size()].end());
    data.resize(size);
    return data;
}

const std::string& ReportFileWithPages(int pageCount)
{
    static std::map<int, std::string> names;
    auto& name = names[pageCount];
    if (!name.empty())
        return name;
    emf::TEmfWriter writer(794, 1123);
    writer.Rectangle({10, 10, 700, 1000});
    name = WriteReportFile(std::vector<TMetafile>(static_cast<std::size_t>(pageCount), TMetafile(writer.Finish())));
    return name;
}

std::string WriteReportFile(const std::vector<TMetafile>& pages)
{
    static TempFiles files;
    TQRPageList list;
    list.AttachStream(std::make_unique<TQRStream>(TQRStream::kDefaultSpillLimit));
    for (const TMetafile& page : pages)
        list.AddPage(page);
    list.Finish();
    // Named as report files are, so that programs that look at the name take it too.
    const std::string unique = CreateUniqueTempFile(GetTempDirectory(), "qrp-bench-");
    const std::string name = unique + ".qrp";
    list.WriteToFile(name);
    files.Names.push_back(unique);
    files.Names.push_back(name);
    return name;
}

}  // namespace qrp::bench
