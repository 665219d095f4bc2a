// Runtime library: exceptions, texts, number conversions and the program-wide
// number format settings.
#pragma once

#include <stdexcept>
#include <string>

// The window's text: UTF-8.
using UnicodeString = std::string;
using TCaption = UnicodeString;
using WideChar = wchar_t;
using Char = WideChar;

// Base of every exception the platform and the program raise.
class Exception : public std::exception {
public:
    explicit Exception(UnicodeString Msg) : FMessage(std::move(Msg)) {}
    ~Exception() override = default;
    const UnicodeString& Message() const noexcept { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }
    virtual const char* ClassName() const noexcept { return "Exception"; }

private:
    UnicodeString FMessage;
};

#define CORVANE_EXCEPTION_CLASS(Name, Base)                                  \
    class Name : public Base {                                               \
    public:                                                                  \
        using Base::Base;                                                    \
        const char* ClassName() const noexcept override { return #Name; }   \
    }

CORVANE_EXCEPTION_CLASS(EConvertError, Exception);
CORVANE_EXCEPTION_CLASS(EPropertyError, Exception);
CORVANE_EXCEPTION_CLASS(EMathError, Exception);
CORVANE_EXCEPTION_CLASS(EZeroDivide, EMathError);
CORVANE_EXCEPTION_CLASS(EInvalidOp, EMathError);
CORVANE_EXCEPTION_CLASS(EOverflow, EMathError);
CORVANE_EXCEPTION_CLASS(EIniFileException, Exception);
CORVANE_EXCEPTION_CLASS(EListError, Exception);
