// The exception classes of the platform. Every error that the program raises derives from Exception
// and carries a formatted message, usually taken from a resource string so that a language file can
// translate it.
#pragma once

#include "Format.h"
#include "ResString.h"

#include <cstdint>
#include <exception>
#include <initializer_list>

class Exception : public std::exception {
public:
    explicit Exception(AnsiString message) : message_(std::move(message)) {}
    explicit Exception(const TResStringRec& message) : message_(ResStr(message)) {}
    Exception(const TResStringRec& format, std::initializer_list<rtl::FormatArg> args)
        : message_(rtl::Format(ResStr(format), args)) {}

    const AnsiString& Message() const { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }
    // The name of the error's class, as an error box shows it.
    virtual const char* ClassName() const { return "Exception"; }

private:
    AnsiString message_;
};

#define QRL_EXCEPTION_CLASS(Name, Base)                                                                      \
    class Name : public Base {                                                                               \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
        const char* ClassName() const override { return #Name; }                                             \
    }

QRL_EXCEPTION_CLASS(EListError, Exception);
QRL_EXCEPTION_CLASS(EConvertError, Exception);
QRL_EXCEPTION_CLASS(EAssertionFailed, Exception);
QRL_EXCEPTION_CLASS(EStreamError, Exception);
QRL_EXCEPTION_CLASS(EReadError, EStreamError);
QRL_EXCEPTION_CLASS(EWriteError, EStreamError);
QRL_EXCEPTION_CLASS(EFOpenError, EStreamError);
QRL_EXCEPTION_CLASS(EFCreateError, EStreamError);
QRL_EXCEPTION_CLASS(EResNotFound, Exception);

// An operating-system call failed; the message is "System Error.  Code: %d.\r\n%s".
class EOSError : public Exception {
public:
    EOSError(std::uint32_t code, AnsiString message) : Exception(std::move(message)), errorCode_(code) {}
    std::uint32_t ErrorCode() const { return errorCode_; }
    const char* ClassName() const override { return "EOSError"; }

private:
    std::uint32_t errorCode_;
};

// The XML reader refused a document that is not well-formed; Line and Column are 1-based.
class EXmlSyntaxError : public Exception {
public:
    EXmlSyntaxError(int line, int column, std::string_view detail)
        : Exception(SXmlSyntaxErrorText(), {line, column, detail}), line_(line), column_(column) {}
    int Line() const { return line_; }
    int Column() const { return column_; }
    const char* ClassName() const override { return "EXmlSyntaxError"; }

private:
    static const TResStringRec& SXmlSyntaxErrorText();
    int line_;
    int column_;
};

namespace rtl {

// Raises EOSError for an error code, with the system's text for it.
[[noreturn]] void RaiseOSError(std::uint32_t code);
// Raises EOSError for the last failed call of the operating-system layer.
[[noreturn]] void RaiseLastOSError();

} // namespace rtl
