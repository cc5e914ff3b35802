#include "data/desktop_data.h"

namespace qrp {

QString DesktopDataFile(const QString& relativePath) { return QStringLiteral(":/qrpview/") + relativePath; }

}  // namespace qrp
