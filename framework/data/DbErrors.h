#pragma once
// The errors of datasets and fields.

#include "Errors.h"

#include <string>

class QObject;

// An error of a dataset or a field; the error events (post, edit, delete) see only these.
class EDatabaseError : public Exception
{
public:
    using Exception::Exception;
};

// Raises EDatabaseError; a component with a name puts "Name: " before the message.
[[noreturn]] void DatabaseError(const std::string &message, const QObject *component = nullptr);
