#pragma once
// The exceptions of the data layer and of the components, and the hook through which errors that
// must not escape reach the application's error display.

#include <exception>
#include <functional>
#include <string>

class QObject;

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

// An error of a dataset or a field; the error events (post, edit, delete) see only these.
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
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

// Raises EDatabaseError; a component with a name puts "Name: " before the message.
[[noreturn]] void DatabaseError(const std::string &message, const QObject *component = nullptr);

// The application's error display. Until the application installs its own, errors go to stderr.
void setExceptionHandler(std::function<void(const std::exception &)> handler);
void handleException(const std::exception &error);
