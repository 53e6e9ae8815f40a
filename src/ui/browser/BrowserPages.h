#pragma once

// The pages of the browser panel, in the order of their tabs.
enum BrowserPage : int {
    kMixingPage = 0,  // the beat view, no controls
    kFilesPage,
    kAutoMixPage,
    kHistoryPage,
    kDatabasePage,
    kHelpPage,
};
