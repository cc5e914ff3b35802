#include "app/report_file_probe.h"

#include <QString>

#include "platform/exceptions.h"
#include "report/qr_page_list.h"

namespace qrp {

std::string OpenProblem(const std::string& path)
{
    try {
        TQRPageList probe;
        probe.AttachFile(path);
        if (probe.PageTotal() > 0)
            probe.GetPage(1);
    } catch (const std::exception& error) {
        // An error without text still means the file cannot be opened.
        const std::string why = error.what();
        return why.empty() ? "neznámá chyba" : why;
    }
    return {};
}

void CheckOpens(const std::string& path)
{
    const std::string problem = OpenProblem(path);
    if (!problem.empty())
        throw Exception(QStringLiteral("Soubor %1 nelze načíst: %2")
                            .arg(QString::fromStdString(path), QString::fromUtf8(problem.c_str()))
                            .toStdString());
}

}  // namespace qrp
