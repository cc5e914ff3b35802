#include <gtest/gtest.h>

#include <sys/stat.h>

#include "platform/exceptions.h"
#include "platform/file_replace.h"
#include "platform/file_stream.h"
#include "platform/memory_stream.h"
#include "platform/temp_files.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using test::Bytes;
using test::ScratchDir;

TEST(MemoryStream, ReadsWritesAndSeeksLikeAFile)
{
    TMemoryStream stream;
    stream.WriteInt32(0x01020304);
    stream.WriteInt32(-2);
    EXPECT_EQ(stream.Bytes(), (Bytes {4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(stream.Size(), 8);
    EXPECT_EQ(stream.Position(), 8) << "Size must not move the position";

    stream.SetPosition(4);
    EXPECT_EQ(stream.ReadInt32(), -2);
    std::uint8_t byte;
    EXPECT_EQ(stream.Read(&byte, 1), 0u) << "reading at the end gives a short count";
    EXPECT_THROW(stream.ReadBuffer(&byte, 1), EReadError);

    // A write past the end fills the gap with zeros.
    stream.Seek(2, TSeekOrigin::soEnd);
    stream.WriteBuffer("\x7F", 1);
    EXPECT_EQ(stream.Bytes(), (Bytes {4, 3, 2, 1, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0x7F}));
    EXPECT_THROW(stream.Seek(-1, TSeekOrigin::soBeginning), EStreamError);
}

TEST(StreamErrors, CarryTheirTexts)
{
    EXPECT_STREQ(EFOpenError("a.qrp").what(), "Cannot open file a.qrp");
    EXPECT_STREQ(EFCreateError("/x/b.qrp").what(), "Cannot create file /x/b.qrp");
    EXPECT_STREQ(EReadError().what(), "Stream read error");
    EXPECT_STREQ(EWriteError().what(), "Stream write error");
    EXPECT_STREQ(EInvalidGraphic().what(), "Metafile is not valid");
}

TEST(FileStream, OpensExistingFilesReadOnlyAndCreatesNewOnes)
{
    ScratchDir dir;
    const std::string name = dir.File("data.bin");
    {
        TFileStream created(name, TFileMode::fmCreate);
        created.WriteInt32(42);
        created.SetPosition(0);
        EXPECT_EQ(created.ReadInt32(), 42) << "a created file is readable too";
    }
    TFileStream opened(name, TFileMode::fmOpenReadShared);
    EXPECT_EQ(opened.Size(), 4);
    EXPECT_EQ(opened.ReadInt32(), 42);
    EXPECT_THROW(opened.WriteInt32(1), EWriteError) << "opened read only";
    {
        // Another writer may change the file while it is open for reading.
        TFileStream other(name, TFileMode::fmCreate);
        other.WriteInt32(7);
    }
    opened.SetPosition(0);
    EXPECT_EQ(opened.ReadInt32(), 7);

    try {
        TFileStream missing(dir.File("missing.qrp"), TFileMode::fmOpenReadShared);
        FAIL() << "opened a missing file";
    } catch (const EFOpenError& error) {
        EXPECT_EQ(error.Message(), "Cannot open file " + dir.File("missing.qrp"));
    }
    EXPECT_THROW(TFileStream(dir.Root().string(), TFileMode::fmOpenReadShared), EFOpenError);
    EXPECT_THROW(TFileStream(dir.File("no/such/dir.qrp"), TFileMode::fmCreate), EFCreateError);
}

TEST(TempFiles, AreCreatedAsTheyAreNamed)
{
    ScratchDir dir;
    const std::string first = CreateUniqueTempFile(dir.Root().string(), "QRP");
    const std::string second = CreateUniqueTempFile(dir.Root().string() + "/", "QRP");
    EXPECT_NE(first, second);
    for (const auto& name : {first, second}) {
        EXPECT_TRUE(FileExists(name));
        EXPECT_EQ(std::filesystem::path(name).filename().string().rfind("QRP", 0), 0u) << name;
        EXPECT_EQ(std::filesystem::file_size(name), 0u);
    }
    EXPECT_TRUE(DeleteFile(first));
    EXPECT_FALSE(FileExists(first));
    EXPECT_THROW(CreateUniqueTempFile(dir.File("absent"), "QRP"), EFCreateError);
    EXPECT_EQ(GetTempDirectory().back(), '/');
}

TEST(FileReplace, LeavesTheOldFileWhenTheWriteFails)
{
    ScratchDir dir;
    const std::string name = dir.File("report.qrp");
    test::WriteWholeFile(name, {1, 2, 3});
    ::chmod(name.c_str(), 0640);

    EXPECT_THROW(WriteFileReplacing(name,
                                    [](TStream& out) {
                                        out.WriteInt32(9);
                                        throw EWriteError();
                                    }),
                 EWriteError);
    EXPECT_EQ(test::ReadWholeFile(name), (Bytes {1, 2, 3}));

    // A file can be rewritten from its own open content.
    TFileStream source(name, TFileMode::fmOpenReadShared);
    WriteFileReplacing(name, [&source](TStream& out) {
        std::uint8_t buffer[3];
        source.ReadBuffer(buffer, 3);
        out.WriteBuffer(buffer, 3);
        out.WriteBuffer(buffer, 3);
    });
    EXPECT_EQ(test::ReadWholeFile(name), (Bytes {1, 2, 3, 1, 2, 3}));
    struct stat info {};
    ASSERT_EQ(::stat(name.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Root()), {}), 1) << "no temporary file is left";

    EXPECT_THROW(WriteFileReplacing(dir.File("absent/x.qrp"), [](TStream&) {}), EFCreateError);
}

}  // namespace
}  // namespace qrp
