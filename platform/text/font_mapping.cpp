#include "platform/text/font_mapping.h"

#include <QHash>

namespace qrp {

QString SubstituteFontFamily(const QString& windowsFace)
{
    static const QHash<QString, QString> substitutes = {
        {"arial", "Liberation Sans"},
        {"helvetica", "Liberation Sans"},
        {"ms sans serif", "Liberation Sans"},
        {"microsoft sans serif", "Liberation Sans"},
        {"ms shell dlg", "Liberation Sans"},
        {"ms shell dlg 2", "Liberation Sans"},
        {"system", "Liberation Sans"},
        {"arial ce", "Liberation Sans"},
        {"helvetica ce", "Liberation Sans"},
        {"times new roman", "Liberation Serif"},
        {"times new roman ce", "Liberation Serif"},
        {"times", "Liberation Serif"},
        {"ms serif", "Liberation Serif"},
        {"courier new", "Liberation Mono"},
        {"courier new ce", "Liberation Mono"},
        {"courier", "Liberation Mono"},
        {"fixedsys", "Liberation Mono"},
        {"lucida console", "Liberation Mono"},
        {"calibri", "Carlito"},
        {"cambria", "Caladea"},
    };
    const QString key = windowsFace.trimmed().toLower();
    if (key.isEmpty())
        return QStringLiteral("Liberation Sans");
    return substitutes.value(key, windowsFace.trimmed());
}

}  // namespace qrp
