#pragma once
// A PNG picture written row by row into a stream through libpng: 8-bit RGB,
// the resolution in a pHYs chunk. Only a few rows are held at a time, so a
// picture of any size PNG allows is written in little memory.

#include <cstdint>
#include <memory>

#include <QSize>

class QImage;

namespace qrp {

class TStream;

// zlib's level, the PNG row filters and zlib's strategy. Report pages are
// mostly runs of paper and ink colours that deflate finds as they are: rows
// unfiltered at level 4 come out about the size of Qt's writer (level 6, a
// filter chosen per row) in less than half its time; levels 1-3 are faster
// still but nearly double the size of pictures with shading (figures in
// bench/png_bench.cpp).
struct TPngSettings {
    int CompressionLevel = 4;
    int Filters = 0x08;  // PNG_FILTER_NONE; 0xF8 (PNG_ALL_FILTERS) lets libpng choose per row
    int Strategy = -1;   // zlib's Z_FILTERED, Z_RLE, ...; -1 leaves it to libpng
};

class TPngWriter {
public:
    // Starts a picture of size pixels (each side 1 .. 2^31 - 1) at dotsPerInch.
    // Raises EWriteError when libpng refuses it; errors of out pass through.
    TPngWriter(TStream& out, QSize size, double dotsPerInch, const TPngSettings& settings = {});
    ~TPngWriter();
    TPngWriter(const TPngWriter&) = delete;
    TPngWriter& operator=(const TPngWriter&) = delete;

    // Writes the first rows of strip, an RGB32 image as wide as the picture,
    // as the picture's next rows.
    void WriteRows(const QImage& strip, int rows);
    // Ends the picture; EWriteError unless every row has been written.
    void Finish();

    std::int64_t RowsWritten() const;

    struct TState;

private:
    std::unique_ptr<TState> State;
};

}  // namespace qrp
