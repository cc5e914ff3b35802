#pragma once
// The adaptive splay-tree prefix code of report page data: a semi-splaying
// prefix code over 513 nodes (internal nodes 0..255 with 0 the root, leaves
// 256 + v for the byte values v and 512 for no value). The first bit placed in
// a code byte is its least significant bit. These rules are part of the
// report file format and are kept bit for bit.
//
// A coder serves one direction and one page. Code bytes pass through an
// internal buffer so the per-byte loop makes no stream call; Finish hands the
// stream back exactly where the code ends.

#include <array>
#include <cstdint>
#include <limits>

namespace qrp {

class TStream;

class TQRCompress {
public:
    // compress: true to code bytes into stream, false to decode from it.
    TQRCompress(TStream& stream, bool compress);
    TQRCompress(const TQRCompress&) = delete;
    TQRCompress& operator=(const TQRCompress&) = delete;
    ~TQRCompress() = default;

    // Decoding never reads more than this many code bytes from the stream;
    // running out raises EReadError, as data cut short does.
    void SetInputLimit(std::int64_t codeBytes) { InputLimit = codeBytes; }

    void CompressByte(std::uint8_t value);
    void CompressBytes(const std::uint8_t* data, std::size_t count);
    std::uint8_t ExpandByte();
    void ExpandBytes(std::uint8_t* data, std::size_t count);

    // Compressing: writes the buffered code and the last, partly filled byte
    // (its unused high bits 0). Expanding: returns the bytes read ahead, so the
    // stream stands right behind the code. Call once, when the page is done.
    void Finish();

    // Code bytes written (compressing, after Finish) or consumed (expanding).
    std::int64_t CodeBytes() const { return CodeByteCount; }

private:
    static constexpr std::size_t kBufferSize = 16384;

    void InitTree();
    void SemiSplay(unsigned value);
    void FlushOutput();
    std::uint8_t RefillInput();

    std::uint8_t BitIndex;
    bool Compressing;
    std::uint16_t InputByte = 0;
    // Child[n][0] is the left child of internal node n, Child[n][1] its right
    // child: one index by the bit read, with no branch to mispredict.
    std::array<std::array<std::uint16_t, 2>, 256> Child;
    std::uint16_t OutputByte = 0;
    TStream& PageStream;
    // The parent of every node 1..512. Parents fit in a byte; 16-bit entries
    // keep the compiler from treating each tree store as one that may change
    // any other field.
    std::array<std::uint16_t, 513> Up;

    std::array<std::uint8_t, kBufferSize> Buffer;
    std::size_t BufferPos = 0;
    std::size_t BufferEnd = 0;
    std::int64_t CodeByteCount = 0;
    std::int64_t InputLimit = std::numeric_limits<std::int64_t>::max();
    bool Finished = false;
};

}  // namespace qrp
