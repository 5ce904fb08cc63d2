#pragma once
// Starting the chosen player on the current film.

#include <QString>

class TDataSet;

// The parameter text for a player (0 MicroDVD, 1 BSPlayer, 2 Media Player) from the paths as
// they are stored; blanks make a path quoted, and every path comes back whole when the text is split.
QString PlayerParameters(int playerIndex, const QString &video, const QString &audio,
                         const QString &subtitles);
QString QuotePath(const QString &path);
// The Start command: checks the player's path and the film's video file, then starts the player;
// a player that cannot be started is reported.
void StartPlayer(TDataSet &dataSet, int playerIndex);
