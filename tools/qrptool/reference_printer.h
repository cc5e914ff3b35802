#pragma once

namespace qrptool {

// Makes every printer object of this process see one printer that offers every
// paper size of the table and can be turned, set to A4 portrait: the paper a
// report file's first page is recognised as does not depend on the printers
// installed here.
void UseReferencePrinter();

}  // namespace qrptool
