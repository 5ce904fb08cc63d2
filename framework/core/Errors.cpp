#include "Errors.h"

#include <cstdio>

EListError EListError::outOfBounds(long long index)
{
    return EListError("List index out of bounds (" + std::to_string(index) + ")");
}

namespace {
std::function<void(const std::exception &)> &exceptionHandler()
{
    static std::function<void(const std::exception &)> handler;
    return handler;
}
} // namespace

void setExceptionHandler(std::function<void(const std::exception &)> handler)
{
    exceptionHandler() = std::move(handler);
}

void handleException(const std::exception &error)
{
    if (dynamic_cast<const EAbort *>(&error))
        return;
    if (auto &handler = exceptionHandler())
        handler(error);
    else
        std::fprintf(stderr, "%s\n", error.what());
}
