#pragma once
// When another program changed db.txt and the user's catalogue went to a file of its own at the end
// of a run, the next start says once where it is: the program then shows the other program's db.txt.

#include <QString>

// Notes beside the catalogue that its changes were saved to `copy` instead.
void RememberSavedElsewhere(const QString &catalogue, const QString &copy);
// At the start: tells where the last run saved the catalogue, if it did so elsewhere, and forgets it.
void TellWhereItWasSaved(const QString &catalogue);
