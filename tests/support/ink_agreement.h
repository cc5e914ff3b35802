#pragma once
// How well a render agrees with a reference picture, the tolerant way two
// independent players are compared: in grey on white, a pixel is ink when it
// is darker than 0.85 of white; recall is the share of the reference's ink
// with ink of the render within 2 pixels (a 5 × 5 square), precision the
// same the other way round, and F1 their harmonic mean (1 for two blank pictures).

#include <QImage>

namespace qrp::test {

struct TInkAgreement {
    double Recall = 1, Precision = 1, F1 = 1;
};

// The render is scaled to the reference's size first when the sizes differ.
TInkAgreement InkAgreement(const QImage& reference, const QImage& render);

}  // namespace qrp::test
