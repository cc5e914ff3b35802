#include <gtest/gtest.h>

#include <random>

#include "platform/exceptions.h"
#include "platform/memory_stream.h"
#include "report/qr_compress.h"
#include "tests/support/test_files.h"

namespace qrp {
namespace {

using test::Bytes;

Bytes Compress(const Bytes& input)
{
    TMemoryStream code;
    TQRCompress compressor(code, true);
    compressor.CompressBytes(input.data(), input.size());
    compressor.Finish();
    EXPECT_EQ(compressor.CodeBytes(), static_cast<std::int64_t>(code.Bytes().size()));
    return code.TakeBytes();
}

// Decodes count values from code followed by trailing bytes that must stay unread.
Bytes Expand(const Bytes& code, std::size_t count)
{
    Bytes withTrailer = code;
    withTrailer.insert(withTrailer.end(), {0xDE, 0xAD, 0xBE, 0xEF});
    TMemoryStream stream(withTrailer);
    TQRCompress expander(stream, false);
    Bytes output(count);
    expander.ExpandBytes(output.data(), output.size());
    expander.Finish();
    EXPECT_EQ(stream.Position(), static_cast<std::int64_t>(code.size())) << "must consume exactly the code bytes";
    EXPECT_EQ(expander.CodeBytes(), static_cast<std::int64_t>(code.size()));
    return output;
}

TEST(SplayCode, KnownCodesOfAFreshTree)
{
    EXPECT_EQ(Compress({'a', 'b', 'c'}), (Bytes {0x46, 0x3D, 0x01}));
    // Byte 0: seven lefts and a right from the root, the right landing in the top bit.
    EXPECT_EQ(Compress({0}), (Bytes {0x80}));
    EXPECT_EQ(Compress({}), Bytes {}) << "no input, no output";
    for (int value = 0; value < 256; ++value) {
        const std::size_t expectedBytes = value == 255 ? 2 : 1;  // 9 bits for 255, 8 for the rest
        EXPECT_EQ(Compress({static_cast<std::uint8_t>(value)}).size(), expectedBytes) << value;
    }
}

TEST(SplayCode, RoundTripsEveryKindOfData)
{
    std::mt19937 random(1234);
    std::vector<Bytes> inputs = {{}, {0}, {255}, {7}, Bytes(100000, 0), Bytes(70000, 255)};
    Bytes noise(300000);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(random());
    inputs.push_back(noise);
    Bytes text;
    for (int i = 0; i < 5000; ++i)
        for (const char c : std::string("Stránka 12 / 30; Přehled faktur. "))
            text.push_back(static_cast<std::uint8_t>(c));
    inputs.push_back(text);
    inputs.push_back(test::MakePage(3, 794, 1123, 4000).Bytes());
    for (std::size_t size = 1; size <= 64; ++size) {
        Bytes some(size);
        for (auto& b : some)
            b = static_cast<std::uint8_t>(random() % 4 * 85);
        inputs.push_back(some);
    }

    for (const Bytes& input : inputs) {
        const Bytes code = Compress(input);
        EXPECT_EQ(Expand(code, input.size()), input) << "size " << input.size();
    }
    // Repetitive data codes well below a byte per byte.
    EXPECT_LT(Compress(Bytes(100000, 0)).size(), 100000u / 6);
}

TEST(SplayCode, ByteAtATimeMatchesTheBulkCalls)
{
    const Bytes input = test::MakePage(5).Bytes();
    TMemoryStream code;
    TQRCompress compressor(code, true);
    for (const std::uint8_t b : input)
        compressor.CompressByte(b);
    compressor.Finish();
    EXPECT_EQ(code.Bytes(), Compress(input));
    code.SetPosition(0);
    TQRCompress expander(code, false);
    for (const std::uint8_t b : input)
        ASSERT_EQ(expander.ExpandByte(), b);
}

TEST(SplayCode, DamagedCodeFailsCleanly)
{
    const Bytes input = test::MakePage(9).Bytes();
    const Bytes code = Compress(input);

    // Running out of code bytes, whether the stream or the allowed length ends.
    TMemoryStream cut(Bytes(code.begin(), code.begin() + static_cast<std::ptrdiff_t>(code.size() / 2)));
    TQRCompress fromCut(cut, false);
    Bytes output(input.size());
    EXPECT_THROW(fromCut.ExpandBytes(output.data(), output.size()), EReadError);

    TMemoryStream whole(code);
    TQRCompress limited(whole, false);
    limited.SetInputLimit(static_cast<std::int64_t>(code.size()) - 1);
    EXPECT_THROW(limited.ExpandBytes(output.data(), output.size()), EReadError);

    // Eight lefts and a right reach the no-value leaf, which is never coded.
    TMemoryStream noValue(Bytes {0x00, 0x01});
    TQRCompress toNoValue(noValue, false);
    EXPECT_THROW(toNoValue.ExpandByte(), EStreamError);
}

}  // namespace
}  // namespace qrp
