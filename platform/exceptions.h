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
};

// A file that cannot be opened: "Cannot open file <name>".
class EFOpenError : public EStreamError {
public:
    explicit EFOpenError(const std::string& fileName);
};

// A file that cannot be created: "Cannot create file <name>".
class EFCreateError : public EStreamError {
public:
    explicit EFCreateError(const std::string& fileName);
};

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
