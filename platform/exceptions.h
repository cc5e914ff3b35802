#pragma once
// The platform's exception family. Every failure the system reports is an
// exception carrying its message text; the texts below are the ones users see.

#include <stdexcept>
#include <string>

namespace qrp {

class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    std::string Message() const { return what(); }
};

class EStreamError : public Exception {
public:
    using Exception::Exception;
    EStreamError(const std::string& message, std::string reason);
    // The system's words for why ("Permission denied", "Is a directory");
    // empty when not known. The message itself stays the system's fixed text.
    const std::string& Reason() const { return Why; }

private:
    std::string Why;
};

// A file that cannot be opened: "Cannot open file <name>". systemError: the
// errno the system answered with, 0 when there is none.
class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const std::string& fileName, int systemError = 0);
};

// A file that cannot be created: "Cannot create file <name>".
class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const std::string& fileName, int systemError = 0);
    EFCreateError(const std::string& fileName, const std::string& reason);
};

// The system's words for an errno; empty for 0.
std::string SystemErrorText(int systemError);

// A block read that got fewer bytes than it needs.
class EReadError : public EStreamError {
public:
    EReadError();
};

// A block write that the stream did not take whole.
class EWriteError : public EStreamError {
public:
    EWriteError();
};

// Data that is not a page recording (enhanced metafile).
class EInvalidGraphic : public Exception {
public:
    EInvalidGraphic();
};

// Substitutes the first "%s" of a message template; the templates are fixed texts.
std::string FormatMessage(const std::string& messageTemplate, const std::string& argument);

}  // namespace qrp
