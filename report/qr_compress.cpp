#include "report/qr_compress.h"

#include <algorithm>

#include "platform/exceptions.h"
#include "platform/stream.h"

namespace qrp {

namespace {
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
        Up[i] = static_cast<std::uint16_t>((i - 1) / 2);
    Up[0] = 0;
    for (unsigned i = 0; i <= 255; ++i) {
        Child[i][0] = static_cast<std::uint16_t>(2 * i + 1);
        Child[i][1] = static_cast<std::uint16_t>(2 * i + 2);
    }
}

void TQRCompress::SemiSplay(unsigned value)
{
    // Each step swaps x with its parent's sibling s: x takes s's place under
    // the grandparent g, s takes x's place under the parent p.
    unsigned x = value + kFirstLeaf;
    for (;;) {
        const unsigned p = Up[x];
        if (p == kRoot)
            return;
        const unsigned g = Up[p];
        const unsigned pSide = Child[g][1] == p;
        const unsigned s = Child[g][pSide ^ 1];
        Child[g][pSide ^ 1] = static_cast<std::uint16_t>(x);
        Child[p][Child[p][1] == x] = static_cast<std::uint16_t>(s);
        Up[x] = static_cast<std::uint16_t>(g);
        Up[s] = static_cast<std::uint16_t>(p);
        x = g;
        if (x == kRoot)
            return;
    }
}

void TQRCompress::FlushOutput()
{
    PageStream.WriteBuffer(Buffer.data(), BufferPos);
    CodeByteCount += static_cast<std::int64_t>(BufferPos);
    BufferPos = 0;
}

void TQRCompress::CompressByte(std::uint8_t value) { CompressBytes(&value, 1); }

void TQRCompress::CompressBytes(const std::uint8_t* data, std::size_t count)
{
    // The coder's state lives in locals for the loop: the tree stores would
    // otherwise force every field back to memory at each bit.
    unsigned bitIndex = BitIndex;
    unsigned outputByte = OutputByte;
    std::size_t bufferPos = BufferPos;
    for (std::size_t k = 0; k < count; ++k) {
        // Walking up from the leaf, code = (code << 1) | bit leaves the root's
        // bit lowest: the order the bits are emitted in. Paths longer than the
        // accumulator keep their bits in an array.
        const unsigned leaf = data[k] + kFirstLeaf;
        std::uint64_t code = 0;
        unsigned depth = 0;
        bool longPath[kMaxPathBits];
        for (unsigned x = leaf; x != kRoot; ++depth) {
            const unsigned p = Up[x];
            const bool right = Child[p][1] == x;
            if (depth < 64)
                code = (code << 1) | right;
            longPath[depth] = right;
            x = p;
        }
        for (unsigned bit = 0; bit < depth; ++bit) {
            const bool one = depth <= 64 ? ((code >> bit) & 1) != 0 : longPath[depth - 1 - bit];
            outputByte |= static_cast<unsigned>(one) << bitIndex;
            if (bitIndex == 7) {
                Buffer[bufferPos++] = static_cast<std::uint8_t>(outputByte);
                if (bufferPos == Buffer.size()) {
                    BufferPos = bufferPos;
                    FlushOutput();
                    bufferPos = 0;
                }
                bitIndex = 0;
                outputByte = 0;
            } else {
                ++bitIndex;
            }
        }
        SemiSplay(data[k]);
    }
    BitIndex = static_cast<std::uint8_t>(bitIndex);
    OutputByte = static_cast<std::uint16_t>(outputByte);
    BufferPos = bufferPos;
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
    std::uint8_t value;
    ExpandBytes(&value, 1);
    return value;
}

void TQRCompress::ExpandBytes(std::uint8_t* data, std::size_t count)
{
    unsigned bitIndex = BitIndex;
    unsigned inputByte = InputByte;
    for (std::size_t k = 0; k < count; ++k) {
        unsigned i = kRoot;
        do {
            if (bitIndex == 7) {
                inputByte = BufferPos < BufferEnd ? Buffer[BufferPos++] : RefillInput();
                bitIndex = 0;
            } else {
                ++bitIndex;
            }
            i = Child[i][(inputByte >> bitIndex) & 1];
        } while (i < kFirstLeaf);
        // The no-value leaf is never coded: reaching it means the code is damaged.
        if (i == kNoValueLeaf) {
            BitIndex = static_cast<std::uint8_t>(bitIndex);
            InputByte = static_cast<std::uint16_t>(inputByte);
            throw EStreamError("Compressed data is damaged");
        }
        data[k] = static_cast<std::uint8_t>(i - kFirstLeaf);
        SemiSplay(i - kFirstLeaf);
    }
    BitIndex = static_cast<std::uint8_t>(bitIndex);
    InputByte = static_cast<std::uint16_t>(inputByte);
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
