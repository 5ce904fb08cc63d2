#include "DbErrors.h"

#include <QObject>

void DatabaseError(const std::string &message, const QObject *component)
{
    if (component && !component->objectName().isEmpty())
        throw EDatabaseError(component->objectName().toStdString() + ": " + message);
    throw EDatabaseError(message);
}
