#pragma once
// What qrptool says on standard error: every line begins with the program and
// the command, "qrptool render: ...", warnings continue "warning: ...", and
// Qt's own messages go the same way.

#include <exception>
#include <string>

namespace qrptool {

// The command this run carries out; until it is known messages begin "qrptool: ".
void SetCommandName(const std::string& command);
// "qrptool render", or "qrptool" before a command is known.
std::string MessagePrefix();

// "qrptool render: TEXT" on standard error.
void Complain(const std::string& text);
// A failure's text, with the system's reason when a file failed ("Cannot
// open file /tmp: Is a directory").
std::string ErrorText(const std::exception& error);
// "qrptool render: warning: TEXT" on standard error.
void Warn(const std::string& text);

// Qt's warnings and errors with the same prefix; set before the application object is made.
void RouteQtMessages();

// While one lives, the messages of its thread (Complain, Warn and Qt's) are
// kept in it instead of going to standard error, so that work done on
// several threads can say what it met in the order the work was given.
class MessageCapture {
public:
    MessageCapture();
    ~MessageCapture();
    MessageCapture(const MessageCapture&) = delete;
    MessageCapture& operator=(const MessageCapture&) = delete;

    // The lines kept so far, each ending in a line end; they are kept no longer.
    std::string Take();

private:
    friend void Emit(const std::string& line);
    std::string Lines;
    MessageCapture* Outer;
};

// Writes lines (as Take gives them) to standard error, or into the thread's capture.
void WriteMessages(const std::string& lines);

}  // namespace qrptool
