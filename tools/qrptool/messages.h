#pragma once
// What qrptool says on standard error: every line begins with the program and
// the command, "qrptool render: ...", warnings continue "warning: ...", and
// Qt's own messages go the same way.

#include <string>

namespace qrptool {

// The command this run carries out; until it is known messages begin "qrptool: ".
void SetCommandName(const std::string& command);
// "qrptool render", or "qrptool" before a command is known.
std::string MessagePrefix();

// "qrptool render: TEXT" on standard error.
void Complain(const std::string& text);
// "qrptool render: warning: TEXT" on standard error.
void Warn(const std::string& text);

// Qt's warnings and errors with the same prefix; set before the application object is made.
void RouteQtMessages();

}  // namespace qrptool
