#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/exceptions.h"
#include "platform/temp_files.h"
#include "report/qr_stream.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using test::Bytes;

Bytes Pattern(std::size_t size, std::uint8_t seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 31 + seed);
    return bytes;
}

// Points the temporary directory somewhere else for one test.
class TempDirOverride {
public:
    explicit TempDirOverride(const std::string& directory)
    {
        if (const char* old = std::getenv("TMPDIR"))
            Saved = old;
        ::setenv("TMPDIR", directory.c_str(), 1);
    }
    ~TempDirOverride()
    {
        if (Saved.empty())
            ::unsetenv("TMPDIR");
        else
            ::setenv("TMPDIR", Saved.c_str(), 1);
    }

private:
    std::string Saved;
};

TEST(QRStream, StaysInMemoryUpToTheLimitAndMovesToATempFileBeyond)
{
    test::ScratchDir dir;
    TempDirOverride temp(dir.Root().string());
    std::string tempName;
    {
        TQRStream stream(TQRStream::kDefaultSpillLimit);
        const Bytes first = Pattern(60000, 1);
        const Bytes second = Pattern(40000, 2);
        stream.WriteBuffer(first.data(), first.size());
        stream.WriteBuffer(second.data(), second.size());
        EXPECT_TRUE(stream.MemoryBacked()) << "exactly 100000 bytes stay in memory";
        EXPECT_TRUE(stream.TempName().empty());
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 0);

        stream.WriteBuffer("!", 1);
        ASSERT_FALSE(stream.MemoryBacked());
        tempName = stream.TempName();
        EXPECT_EQ(std::filesystem::path(tempName).filename().string().rfind("QRP", 0), 0u);
        EXPECT_EQ(std::filesystem::path(tempName).parent_path(), dir.Root());
        EXPECT_EQ(stream.Position(), 100001);

        Bytes expected = first;
        expected.insert(expected.end(), second.begin(), second.end());
        expected.push_back('!');
        EXPECT_EQ(test::ReadWholeFile(tempName), expected);

        // Rewriting the header after the move goes to the file and keeps its size.
        const Bytes header(128, 0xEE);
        stream.SetPosition(0);
        stream.WriteBuffer(header.data(), header.size());
        EXPECT_EQ(stream.Size(), 100001);
        EXPECT_EQ(stream.Position(), 128) << "Size must not move the position";
        std::copy(header.begin(), header.end(), expected.begin());
        EXPECT_EQ(test::ReadWholeFile(tempName), expected);

        TMemoryStream copy;
        stream.CopyInto(copy);
        EXPECT_EQ(copy.Bytes(), expected);
        EXPECT_EQ(stream.Position(), stream.Size());
    }
    EXPECT_FALSE(FileExists(tempName)) << "destroying the stream deletes its temporary file";
}

TEST(QRStream, MoveKeepsThePositionOfTheCrossingWrite)
{
    // A rewrite in the middle of the data crosses the limit only if it extends it,
    // so the crossing write always ends at the end; a small limit shows it.
    TQRStream stream(10);
    stream.WriteBuffer("0123456789", 10);
    stream.SetPosition(8);
    stream.WriteBuffer("abcd", 4);
    ASSERT_FALSE(stream.MemoryBacked());
    EXPECT_EQ(stream.Position(), 12);
    stream.SetPosition(0);
    char text[12];
    stream.ReadBuffer(text, sizeof text);
    EXPECT_EQ(std::string(text, sizeof text), "01234567abcd");
}

TEST(QRStream, AFailedMoveKeepsTheDataInMemory)
{
    test::ScratchDir dir;
    TempDirOverride temp(dir.File("missing"));
    TQRStream stream(4);
    stream.WriteBuffer("abcd", 4);
    EXPECT_THROW(stream.WriteBuffer("e", 1), EFCreateError);
    EXPECT_TRUE(stream.MemoryBacked());
    EXPECT_EQ(stream.Size(), 5);
}

TEST(QRStream, AnOpenedFileIsReadInPlaceAndLeftAlone)
{
    test::ScratchDir dir;
    const std::string name = dir.File("report.qrp");
    test::WriteWholeFile(name, Pattern(300, 7));
    {
        auto stream = TQRStream::OpenOnFile(name);
        EXPECT_FALSE(stream->MemoryBacked());
        EXPECT_EQ(stream->SpillLimit(), 0);
        EXPECT_TRUE(stream->TempName().empty());
        EXPECT_EQ(stream->Size(), 300);
        TMemoryStream copy;
        stream->CopyInto(copy);
        EXPECT_EQ(copy.Bytes(), Pattern(300, 7));
    }
    EXPECT_TRUE(FileExists(name));
    EXPECT_THROW(TQRStream::OpenOnFile(dir.File("absent.qrp")), EFOpenError);
}

TEST(QRStream, CopyOfAnEmptyStreamWritesNothing)
{
    TQRStream stream(TQRStream::kDefaultSpillLimit);
    TMemoryStream copy;
    stream.CopyInto(copy);
    EXPECT_TRUE(copy.Bytes().empty());
    EXPECT_EQ(stream.Position(), 0);
}

TEST(QRStream, TempNamesAreUniqueFiles)
{
    const std::string a = TQRStream::NewTempFileName();
    const std::string b = TQRStream::NewTempFileName();
    EXPECT_NE(a, b);
    EXPECT_TRUE(FileExists(a));
    EXPECT_TRUE(FileExists(b));
    DeleteFile(a);
    DeleteFile(b);
}

}  // namespace
}  // namespace qrp
