// Writes the seed corpora of the fuzz harnesses from report files (.qrp) and
// page recordings (.emf):
//
//   OUTDIR/report/  the report files, and small ones packed from the smallest recordings
//   OUTDIR/emf/     the recordings and the pages of the report files
//   OUTDIR/dib/     the bitmaps of the bitmap records in all of those, as fuzz_dib reads
//                   them, and a few made here of the kinds recordings seldom hold
//
// Files over --max-size bytes are left out: long inputs slow the fuzzer down
// more than they teach it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/byte_order.h"
#include "platform/emf/emf_header.h"
#include "platform/emf/metafile.h"
#include "platform/emf/player/dib.h"
#include "platform/exceptions.h"
#include "report/qr_page_list.h"

namespace {

using TBytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

constexpr std::size_t kDefaultMaxSize = 128 * 1024;
// Recordings small enough to pack several into one short report file.
constexpr std::size_t kPackedPageMaxSize = 4096;
constexpr std::size_t kPagesPerPackedReport = 3;

TBytes ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return TBytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

class TSeedFolder {
public:
    TSeedFolder(fs::path folder, std::size_t maxSize) : Folder(std::move(folder)), MaxSize(maxSize)
    {
        fs::create_directories(Folder);
    }

    // Writes a seed once whatever its name; false when it is left out.
    bool Add(const std::string& name, const TBytes& bytes)
    {
        if (bytes.size() > MaxSize || !Seen.insert(bytes).second)
            return false;
        std::ofstream(Folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                              static_cast<std::streamsize>(bytes.size()));
        return true;
    }

    std::size_t Count() const { return Seen.size(); }

private:
    fs::path Folder;
    std::size_t MaxSize;
    std::set<TBytes> Seen;
};

// A fuzz_dib input: options byte, BITMAPINFO length, BITMAPINFO, bits.
TBytes DibSeed(std::uint8_t options, const TBytes& info, const TBytes& bits)
{
    TBytes seed {options, static_cast<std::uint8_t>(info.size()), static_cast<std::uint8_t>(info.size() >> 8)};
    seed.insert(seed.end(), info.begin(), info.end());
    seed.insert(seed.end(), bits.begin(), bits.end());
    return seed;
}

// Where bitmap records keep iUsage and the offBmi, cbBmi, offBits, cbBits fields, from the record's start.
struct TBitmapRecordLayout {
    std::uint32_t Type;
    std::size_t UsageOffset;
    std::size_t FieldsOffset;
};

constexpr TBitmapRecordLayout kBitmapRecords[] = {
    {qrp::emf::EMR_BITBLT, 80, 84},         {qrp::emf::EMR_STRETCHBLT, 80, 84},
    {qrp::emf::EMR_MASKBLT, 80, 84},        {qrp::emf::EMR_TRANSPARENTBLT, 80, 84},
    {qrp::emf::EMR_ALPHABLEND, 80, 84},     {qrp::emf::EMR_SETDIBITSTODEVICE, 64, 48},
    {qrp::emf::EMR_STRETCHDIBITS, 64, 48},  {qrp::emf::EMR_CREATEMONOBRUSH, 12, 16},
    {qrp::emf::EMR_CREATEDIBPATTERNBRUSHPT, 12, 16},
};

void AddBitmapsOf(const TBytes& emf, const std::string& name, TSeedFolder& dibs)
{
    std::size_t offset = 0, index = 0;
    while (emf.size() - offset >= qrp::emf::kRecordPrefixSize) {
        const std::uint32_t type = qrp::LoadUInt32(emf.data() + offset);
        const std::uint32_t size = qrp::LoadUInt32(emf.data() + offset + 4);
        if (size < qrp::emf::kRecordPrefixSize || size > emf.size() - offset)
            return;
        const std::uint8_t* record = emf.data() + offset;
        for (const auto& layout : kBitmapRecords) {
            if (layout.Type != type || size < layout.FieldsOffset + 16)
                continue;
            const std::uint32_t offInfo = qrp::LoadUInt32(record + layout.FieldsOffset);
            const std::uint32_t sizeInfo = qrp::LoadUInt32(record + layout.FieldsOffset + 4);
            const std::uint32_t offBits = qrp::LoadUInt32(record + layout.FieldsOffset + 8);
            const std::uint32_t sizeBits = qrp::LoadUInt32(record + layout.FieldsOffset + 12);
            if (sizeInfo == 0 || sizeInfo > 0xFFFF || offInfo > size || sizeInfo > size - offInfo ||
                offBits > size || sizeBits > size - offBits)
                continue;
            const auto usage = static_cast<std::uint8_t>(qrp::LoadUInt32(record + layout.UsageOffset) & 1);
            const std::uint8_t keepAlpha = type == qrp::emf::EMR_ALPHABLEND ? 2 : 0;
            dibs.Add(name + "-bitmap-" + std::to_string(++index),
                     DibSeed(usage | keepAlpha, TBytes(record + offInfo, record + offInfo + sizeInfo),
                             TBytes(record + offBits, record + offBits + sizeBits)));
        }
        offset += size;
    }
}

void Put(TBytes& bytes, std::uint32_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

TBytes InfoHeader(std::int32_t width, std::int32_t height, unsigned bitCount, std::uint32_t compression,
                  std::uint32_t headerSize = 40)
{
    TBytes info;
    Put(info, headerSize, 4);
    Put(info, static_cast<std::uint32_t>(width), 4);
    Put(info, static_cast<std::uint32_t>(height), 4);
    Put(info, 1, 2);
    Put(info, bitCount, 2);
    Put(info, compression, 4);
    info.resize(headerSize);
    return info;
}

TBytes WithGreyTable(TBytes info, unsigned entries, std::size_t entrySize)
{
    for (unsigned i = 0; i < entries; ++i) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / (entries - 1));
        const TBytes entry = entrySize == 2 ? TBytes {static_cast<std::uint8_t>(i), 0} : TBytes(entrySize, grey);
        info.insert(info.end(), entry.begin(), entry.end());
    }
    return info;
}

// The kinds the recordings seldom hold: run lengths, bit fields, long and core headers, palette indices.
void AddMadeBitmaps(TSeedFolder& dibs)
{
    dibs.Add("made-rle8", DibSeed(0, WithGreyTable(InfoHeader(8, 4, 8, qrp::emf::BI_RLE8), 4, 4),
                                  {3, 1, 0, 3, 9, 2, 0, 0, 0, 2, 2, 1, 4, 3, 0, 0, 2, 0, 0, 1}));
    dibs.Add("made-rle4", DibSeed(0, WithGreyTable(InfoHeader(8, 4, 4, qrp::emf::BI_RLE4), 16, 4),
                                  {5, 0x12, 0, 3, 0x34, 0x50, 0, 0, 0, 2, 1, 1, 2, 0xAB, 0, 0, 0, 1}));
    TBytes masks565 = InfoHeader(3, 2, 16, qrp::emf::BI_BITFIELDS);
    for (const std::uint32_t mask : {0xF800u, 0x07E0u, 0x001Fu})
        Put(masks565, mask, 4);
    dibs.Add("made-bitfields-565", DibSeed(0, masks565, TBytes(16, 0xA5)));
    TBytes v5 = InfoHeader(2, -2, 32, qrp::emf::BI_BITFIELDS, 124);
    const std::uint32_t masks[] = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};  // red, green, blue, alpha
    for (std::size_t i = 0; i < std::size(masks); ++i)
        qrp::StoreUInt32(v5.data() + 40 + 4 * i, masks[i]);
    dibs.Add("made-v5-alpha", DibSeed(2, v5, {0, 0, 255, 128, 0, 255, 0, 255, 255, 0, 0, 64, 9, 9, 9, 0}));
    TBytes core;
    for (const std::uint32_t field : {12u, 3u, 2u, 1u, 8u})
        Put(core, field, field == 12 ? 4 : 2);
    dibs.Add("made-core-8bit", DibSeed(0, WithGreyTable(core, 4, 3), {0, 1, 2, 0, 3, 2, 1, 0}));
    dibs.Add("made-palette-indices", DibSeed(1, WithGreyTable(InfoHeader(4, 2, 4, qrp::emf::BI_RGB), 16, 2),
                                             {0x01, 0x23, 0, 0, 0x45, 0x67, 0, 0}));
}

std::vector<TBytes> PagesOf(const fs::path& report)
{
    std::vector<TBytes> pages;
    qrp::TQRPageList list;
    try {
        list.AttachFile(report.string());
        for (std::int32_t page = 1; page <= list.PageTotal(); ++page)
            pages.push_back(list.GetPage(page)->Bytes());
    } catch (const qrp::Exception& error) {
        std::fprintf(stderr, "%s: %s (pages read so far kept)\n", report.c_str(), error.what());
    }
    return pages;
}

TBytes PackReport(const std::vector<qrp::TMetafile>& pages, bool compressed, const fs::path& scratch)
{
    qrp::TQRPageList list;
    list.AttachStream(std::make_unique<qrp::TQRStream>(qrp::TQRStream::kDefaultSpillLimit));
    list.SetCompression(compressed);
    for (const auto& page : pages)
        list.AddPage(page);
    list.Finish();
    list.WriteToFile(scratch.string());
    TBytes bytes = ReadFile(scratch);
    fs::remove(scratch);
    return bytes;
}

}  // namespace

int main(int argc, char** argv)
{
    std::size_t maxSize = kDefaultMaxSize;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--max-size") {
        maxSize = std::strtoull(argv[2], nullptr, 10);
        first = 3;
    }
    if (argc - first < 1) {
        std::fprintf(stderr, "usage: %s [--max-size BYTES] OUTDIR [FILE.qrp|FILE.emf]...\n", argv[0]);
        return 2;
    }
    const fs::path out = argv[first];
    TSeedFolder reports(out / "report", maxSize), recordings(out / "emf", maxSize), dibs(out / "dib", maxSize);
    std::vector<qrp::TMetafile> smallPages;
    for (int i = first + 1; i < argc; ++i) {
        const fs::path input = argv[i];
        const TBytes bytes = ReadFile(input);
        const std::string stem = input.stem().string();
        std::vector<TBytes> pages;
        if (input.extension() == ".qrp") {
            reports.Add(input.filename().string(), bytes);
            pages = PagesOf(input);
        } else {
            pages.push_back(bytes);
        }
        for (std::size_t n = 0; n < pages.size(); ++n) {
            const std::string name = pages.size() == 1 ? stem : stem + "-page-" + std::to_string(n + 1);
            recordings.Add(name + ".emf", pages[n]);
            AddBitmapsOf(pages[n], name, dibs);
            if (pages[n].size() <= kPackedPageMaxSize && smallPages.size() < 2 * kPagesPerPackedReport) {
                try {
                    smallPages.emplace_back(pages[n]);
                } catch (const qrp::Exception&) {  // a damaged recording cannot be a page
                }
            }
        }
    }
    AddMadeBitmaps(dibs);
    for (std::size_t from = 0; from + kPagesPerPackedReport <= smallPages.size(); from += kPagesPerPackedReport) {
        const std::vector<qrp::TMetafile> pages(smallPages.begin() + static_cast<std::ptrdiff_t>(from),
                                                smallPages.begin() + static_cast<std::ptrdiff_t>(from + kPagesPerPackedReport));
        for (const bool compressed : {false, true})
            reports.Add("packed-" + std::to_string(from) + (compressed ? "-compressed.qrp" : "-plain.qrp"),
                        PackReport(pages, compressed, out / "packing.qrp"));
    }
    std::printf("seeds: %zu report files, %zu recordings, %zu bitmaps\n", reports.Count(), recordings.Count(),
                dibs.Count());
    return 0;
}
