#pragma once
// Windows font faces on this desktop: the faces report files name most are
// drawn with metric-compatible substitutes, so text keeps its width.

#include <QString>

namespace qrp {

// The family to draw a Windows face with: Arial, Helvetica and MS Sans Serif
// as Liberation Sans, Times New Roman as Liberation Serif, Courier New as
// Liberation Mono, Calibri as Carlito, and so on; other faces are left to
// fontconfig, which falls back to DejaVu.
QString SubstituteFontFamily(const QString& windowsFace);

}  // namespace qrp
