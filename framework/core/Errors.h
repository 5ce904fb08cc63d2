#pragma once
// The exceptions every part of the program raises, and the hook through which errors that must not
// escape reach the application's error display.

#include <exception>
#include <functional>
#include <string>

// Base of every error the program raises itself; carries the exact message text.
class Exception : public std::exception
{
public:
    explicit Exception(std::string message) : m_message(std::move(message)) {}
    const char *what() const noexcept override { return m_message.c_str(); }
    const std::string &message() const noexcept { return m_message; }

private:
    std::string m_message;
};

// Ends an operation silently: the application shows nothing for it.
class EAbort : public Exception
{
public:
    EAbort() : Exception("Operation aborted") {}
};

// File errors: opening, creating and writing.
class EStreamError : public Exception
{
public:
    using Exception::Exception;
};
class EFOpenError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};
class EWriteError : public EStreamError
{
public:
    using EStreamError::EStreamError;
};

// An index outside a list: "List index out of bounds (%d)".
class EListError : public Exception
{
public:
    using Exception::Exception;
    static EListError outOfBounds(long long index);
};

// The application's error display. Until the application installs its own, errors go to stderr.
void setExceptionHandler(std::function<void(const std::exception &)> handler);
void handleException(const std::exception &error);
