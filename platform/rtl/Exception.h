// The exception classes the system raises. Each reports its own class name for the error log.
#pragma once

#include <stdexcept>
#include <string>

namespace plat {

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : FMessage(std::move(message)) {}
    const std::string& Message() const { return FMessage; }
    void SetMessage(std::string message) { FMessage = std::move(message); }
    const char* what() const noexcept override { return FMessage.c_str(); }
    virtual const char* ClassName() const { return "Exception"; }

private:
    std::string FMessage;
};

} // namespace plat

// Declares an exception class with the given base and its own class name.
#define PLAT_EXCEPTION(Cls, Base)                                                                            \
    class Cls : public Base {                                                                                \
    public:                                                                                                  \
        using Base::Base;                                                                                    \
        const char* ClassName() const override { return #Cls; }                                              \
    }

namespace plat {

PLAT_EXCEPTION(EAbort, Exception);
PLAT_EXCEPTION(EConvertError, Exception);
PLAT_EXCEPTION(EInOutError, Exception);
PLAT_EXCEPTION(EListError, Exception);
PLAT_EXCEPTION(EStringListError, Exception);
PLAT_EXCEPTION(EStreamError, Exception);
PLAT_EXCEPTION(EFileStreamError, EStreamError);
PLAT_EXCEPTION(EFCreateError, EFileStreamError);
PLAT_EXCEPTION(EFOpenError, EFileStreamError);
PLAT_EXCEPTION(EReadError, EStreamError);
PLAT_EXCEPTION(EWriteError, EStreamError);
PLAT_EXCEPTION(EFilerError, EStreamError);
PLAT_EXCEPTION(EClassNotFound, EFilerError);
PLAT_EXCEPTION(EMethodNotFound, EFilerError);
PLAT_EXCEPTION(EInvalidImage, EFilerError);
PLAT_EXCEPTION(EParserError, Exception);
PLAT_EXCEPTION(EInvalidOperation, Exception);
PLAT_EXCEPTION(EInvalidPointer, Exception);
PLAT_EXCEPTION(EInvalidCast, Exception);
PLAT_EXCEPTION(EComponentError, Exception);
PLAT_EXCEPTION(EPropertyError, Exception);
PLAT_EXCEPTION(EIniFileException, Exception);
PLAT_EXCEPTION(EThread, Exception);
PLAT_EXCEPTION(EOutOfResources, Exception);
PLAT_EXCEPTION(EOSError, Exception);
PLAT_EXCEPTION(EMathError, Exception);
PLAT_EXCEPTION(EZeroDivide, EMathError);
PLAT_EXCEPTION(EOverflow, EMathError);
PLAT_EXCEPTION(ERangeError, Exception);

// Quietly ends the current operation: the application's handler does not log or show it.
[[noreturn]] void Abort();

} // namespace plat
