#pragma once

#include <string>
#include <vector>

#include "engine/library/BrowserItem.h"

// Where dropped tracks go: the first onto the deck dropped on (a playlist file gives its first
// entries to that deck and to the other one while that is free, the rest to the playlist), a
// second onto the other deck while that is free, the rest into the playlist. Main thread.
class TrackDrop {
  public:
    class Port {
      public:
        virtual ~Port() = default;
        // No track on the deck and none on its way.
        virtual bool deckIsFree(int deck) const = 0;
        // The deck plays loud enough that loading over it is asked first.
        virtual bool loudlyPlaying(int deck) const = 0;
        // The question before loading over a loudly playing deck; true loads.
        virtual bool confirmLoadOverMusic() = 0;
        virtual void load(int deck, const BrowserItem& item) = 0;
        virtual std::vector<BrowserItem> playlistEntries(const std::string& path) const = 0;
        // index -1, or past the end, appends.
        virtual void insertIntoPlaylist(int index, BrowserItem item) = 0;
    };

    explicit TrackDrop(Port& port) : port_(port) {}

    // items dropped onto deck target (-1: none, only the playlist takes them) and, for the rest,
    // into the playlist before row index.
    void drop(std::vector<BrowserItem> items, int target, int index);
    // A drop into an empty playlist with the auto mix on loads the selected deck when it is free,
    // else the other one when that is free; -1 when neither is.
    int freeDeck(int selected) const;

  private:
    // Returns the playlist index after what it inserted.
    int loadOrExpand(int deck, const BrowserItem& item, int index, bool askIfLoud);

    Port& port_;
};
