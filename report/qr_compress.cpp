#include "report/qr_compress.h"

#include <algorithm>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qrp {

namespace {
constexpr std::uint8_t BitMask[8] = {1, 2, 4, 8, 16, 32, 64, 128};
constexpr unsigned kRoot = 0;
constexpr unsigned kFirstLeaf = 256;
constexpr unsigned kNoValueLeaf = 512;
constexpr unsigned kMaxPathBits = 256;
}  // namespace

TQRCompress::TQRCompress(TStream& stream, bool compress)
    : BitIndex(compress ? 0 : 7), Compressing(compress), PageStream(stream)
{
    InitTree();
}

void TQRCompress::InitTree()
{
    for (unsigned i = 1; i <= 512; ++i)
        Up[i] = static_cast<std::uint8_t>((i - 1) / 2);
    Up[0] = 0;
    for (unsigned i = 0; i <= 255; ++i) {
        LeftChild[i] = static_cast<std::uint16_t>(2 * i + 1);
        RightChild[i] = static_cast<std::uint16_t>(2 * i + 2);
    }
}

void TQRCompress::SemiSplay(unsigned value)
{
    unsigned x = value + kFirstLeaf;
    while (x != kRoot) {
        const unsigned p = Up[x];
        if (p == kRoot)
            break;
        const unsigned g = Up[p];
        unsigned s = LeftChild[g];
        if (p == s) {
            s = RightChild[g];
            RightChild[g] = static_cast<std::uint16_t>(x);
        } else {
            LeftChild[g] = static_cast<std::uint16_t>(x);
        }
        if (x == LeftChild[p])
            LeftChild[p] = static_cast<std::uint16_t>(s);
        else
            RightChild[p] = static_cast<std::uint16_t>(s);
        Up[x] = static_cast<std::uint8_t>(g);
        Up[s] = static_cast<std::uint8_t>(p);
        x = g;
    }
}

void TQRCompress::FlushOutput()
{
    PageStream.WriteBuffer(Buffer.data(), BufferPos);
    CodeByteCount += static_cast<std::int64_t>(BufferPos);
    BufferPos = 0;
}

void TQRCompress::CompressByte(std::uint8_t value)
{
    // The path from the leaf up to the root, one bit per step (1 = right child).
    bool path[kMaxPathBits];
    unsigned depth = 0;
    unsigned x = value + kFirstLeaf;
    do {
        const unsigned p = Up[x];
        path[depth++] = (RightChild[p] == x);
        x = p;
    } while (x != kRoot);

    // Emitted from the root down.
    while (depth > 0) {
        if (path[--depth])
            OutputByte = static_cast<std::uint16_t>(OutputByte | BitMask[BitIndex]);
        if (BitIndex == 7) {
            Buffer[BufferPos++] = static_cast<std::uint8_t>(OutputByte);
            if (BufferPos == Buffer.size())
                FlushOutput();
            BitIndex = 0;
            OutputByte = 0;
        } else {
            ++BitIndex;
        }
    }
    SemiSplay(value);
}

void TQRCompress::CompressBytes(const std::uint8_t* data, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        CompressByte(data[i]);
}

std::uint8_t TQRCompress::RefillInput()
{
    const std::int64_t allowed = InputLimit - CodeByteCount;
    const std::size_t wanted = static_cast<std::size_t>(std::min<std::int64_t>(allowed, static_cast<std::int64_t>(Buffer.size())));
    BufferEnd = wanted > 0 ? PageStream.Read(Buffer.data(), wanted) : 0;
    BufferPos = 0;
    if (BufferEnd == 0)
        throw EReadError();
    CodeByteCount += static_cast<std::int64_t>(BufferEnd);
    return Buffer[BufferPos++];
}

std::uint8_t TQRCompress::ExpandByte()
{
    unsigned i = kRoot;
    do {
        if (BitIndex == 7) {
            InputByte = BufferPos < BufferEnd ? Buffer[BufferPos++] : RefillInput();
            BitIndex = 0;
        } else {
            ++BitIndex;
        }
        i = (InputByte & BitMask[BitIndex]) ? RightChild[i] : LeftChild[i];
    } while (i < kFirstLeaf);
    // The no-value leaf is never coded: reaching it means the code is damaged.
    if (i == kNoValueLeaf)
        throw EStreamError("Compressed data is damaged");
    const unsigned value = i - kFirstLeaf;
    SemiSplay(value);
    return static_cast<std::uint8_t>(value);
}

void TQRCompress::ExpandBytes(std::uint8_t* data, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        data[i] = ExpandByte();
}

void TQRCompress::Finish()
{
    if (Finished)
        return;
    Finished = true;
    if (Compressing) {
        if (BitIndex != 0)
            Buffer[BufferPos++] = static_cast<std::uint8_t>(OutputByte);
        FlushOutput();
    } else {
        const auto unread = static_cast<std::int64_t>(BufferEnd - BufferPos);
        CodeByteCount -= unread;
        if (unread > 0)
            PageStream.Seek(-unread, TSeekOrigin::soCurrent);
        BufferPos = BufferEnd = 0;
    }
}

}  // namespace qrp
