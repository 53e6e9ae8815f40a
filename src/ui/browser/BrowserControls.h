#pragma once

// The control identifiers of the browser's commands.
enum BrowserControl : int {
    kFolderTree = 130,
    kFileList = 131,
    kDesktopButton = 132,
    kThisFolderButton = 133,
    kPlaylist = 134,
    kAutoMixBox = 135,
    kAutoBpmBox = 136,
    kMixNowButton = 137,
    kLongMixButton = 138,
    kShortMixButton = 139,
    kShuffleButton = 140,
    kRemovePlayedButton = 141,
    kSaveButton = 142,
    kLoadButton = 143,
    kHistoryList = 144,
    kSearchButton = 145,
    kSearchBox = 146,
    kMatchCount = 147,
    kSearchList = 148,
    kHelpPicture = 158,
};
