#pragma once
// Helpers the tests share: a private scratch directory, whole-file reads and
// writes, small page recordings and documents built through the page list.

#include <cstdint>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/emf/metafile.h"

namespace qrp::test {

using Bytes = std::vector<std::uint8_t>;

// A fresh directory removed with everything in it when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string File(const std::string& name) const { return (Path / name).string(); }
    const std::filesystem::path& Root() const { return Path; }

private:
    std::filesystem::path Path;
};

Bytes ReadWholeFile(const std::string& fileName);
void WriteWholeFile(const std::string& fileName, const Bytes& bytes);

// A page recording of width × height pixels whose content depends on seed;
// extraRecords adds filler records to reach larger sizes.
TMetafile MakePage(int seed, int width = 794, int height = 1123, int extraRecords = 0);

// A report file with the given pages, built with AddPage and Finish.
Bytes MakeDocument(const std::vector<TMetafile>& pages, bool compressed);
Bytes MakeDocument(int pageCount, bool compressed);

// The shared corpus of real-world page recordings, or an empty path when absent.
std::filesystem::path CorpusDir();
// Every .emf file of the corpus that is a sound metafile (the damaged ones left out).
std::vector<std::filesystem::path> CorpusRecordings();

// Tests over the corpus's recordings; skipped with a message when it is absent.
class CorpusTest : public ::testing::Test {
protected:
    void SetUp() override;
    std::vector<std::filesystem::path> Files;
};

}  // namespace qrp::test
