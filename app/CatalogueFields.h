#pragma once
// Where the catalogue's fields stand in the shipped format.txt; the program hides some of them and
// hands others to the player by position.

enum TCatalogueField {
    cfTitle = 0,
    cfLabel = 1,
    cfFormat = 2,
    cfVideo = 3,
    cfAudio = 4,
    cfSubtitles = 5,
    cfAtHome = 6,
    cfLentTo = 7
};
