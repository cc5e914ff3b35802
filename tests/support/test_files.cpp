#include "tests/support/test_files.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>

#include "platform/emf/emf_writer.h"
#include "platform/temp_files.h"
#include "report/qr_page_list.h"

namespace qrp::test {

ScratchDir::ScratchDir()
{
    const std::string made = CreateUniqueTempFile(GetTempDirectory(), "qrp-test-");
    DeleteFile(made);
    Path = made;
    std::filesystem::create_directories(Path);
}

ScratchDir::~ScratchDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(Path, ignored);
}

Bytes ReadWholeFile(const std::string& fileName)
{
    std::ifstream in(fileName, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteWholeFile(const std::string& fileName, const Bytes& bytes)
{
    std::ofstream out(fileName, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TMetafile MakePage(int seed, int width, int height, int extraRecords)
{
    emf::TEmfWriter writer(width, height);
    writer.SelectObject(writer.CreatePen(emf::PS_SOLID, 1 + seed % 3, static_cast<std::uint32_t>(seed) * 2654435761u));
    writer.Rectangle({10 + seed % 50, 10, 200, 100 + seed % 200});
    writer.TextOut(20, 40, u"Str\u00E1nka " + std::u16string(1, static_cast<char16_t>(u'0' + seed % 10)));
    std::mt19937 random(static_cast<std::uint32_t>(seed));
    for (int i = 0; i < extraRecords; ++i) {
        const auto x = static_cast<std::int32_t>(random() % static_cast<unsigned>(width));
        const auto y = static_cast<std::int32_t>(random() % static_cast<unsigned>(height));
        if (i % 2 == 0)
            writer.MoveTo(x, y);
        else
            writer.LineTo(x, y);
    }
    return TMetafile(writer.Finish());
}

Bytes MakeDocument(const std::vector<TMetafile>& pages, bool compressed)
{
    TQRPageList list;
    list.SetCompression(compressed);
    list.AttachStream(std::make_unique<TQRStream>(TQRStream::kDefaultSpillLimit));
    for (const TMetafile& page : pages)
        list.AddPage(page);
    list.Finish();
    TMemoryStream out;
    list.PageStream()->CopyInto(out);
    return out.TakeBytes();
}

Bytes MakeDocument(int pageCount, bool compressed)
{
    std::vector<TMetafile> pages;
    for (int i = 1; i <= pageCount; ++i)
        pages.push_back(MakePage(i));
    return MakeDocument(pages, compressed);
}

std::filesystem::path CorpusDir()
{
    for (const char* candidate : {QRP_SOURCE_DIR "/../shared/corpus", QRP_SOURCE_DIR "/../../shared/corpus"}) {
        std::error_code error;
        if (std::filesystem::is_directory(candidate, error))
            return std::filesystem::canonical(candidate);
    }
    return {};
}

std::vector<std::filesystem::path> CorpusRecordings()
{
    std::vector<std::filesystem::path> files;
    const auto root = CorpusDir();
    if (root.empty())
        return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const auto& path = entry.path();
        if (path.extension() != ".emf" || path.filename().string().rfind("bad_", 0) == 0)
            continue;
        files.push_back(path);
    }
    std::sort(files.begin(), files.end());
    return files;
}

void CorpusTest::SetUp()
{
    Files = CorpusRecordings();
    if (Files.empty())
        GTEST_SKIP() << "the shared corpus (../shared/corpus beside the checkout) is absent";
}

}  // namespace qrp::test
