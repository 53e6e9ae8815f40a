#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/PendingRequest.h"
#include "engine/beat/BeatDetector.h"
#include "engine/beat/BeatPhase.h"
#include "engine/deck/Decoder.h"
#include "engine/deck/EngineState.h"
#include "engine/deck/JumpFade.h"
#include "engine/deck/TrackOpener.h"
#include "engine/sound/SoundOutput.h"

// One of the two players. It decodes its file one MP3 frame (1152 stereo frames) at a time into
// a ring of 128 MP3 frames, feeds every MP3 frame to its beat detector and, while playing, to its
// sound output. What decodes, plays or moves runs on the audio thread; the main thread reads the
// deck's state and leaves requests, which the next service step takes up. Three main-thread calls
// write shared state themselves: pressCue (the cue state), setCueHere (the cue point of the record)
// and setVolume and setCueVolume (the levels the deck keeps, and on buffer outputs the device
// volume). A file is opened on a loader thread, and the audio thread takes it in once it is ready.
// When the play position of an audible deck jumps, the output fades from the old place to the new
// one (see JumpFade).
class Deck {
  public:
    using DecoderFactory = TrackOpener::DecoderFactory;

    // Ring indexes and counts are in stereo frames; a ring slot holds one MP3 frame.
    static constexpr int kFrameSize = Decoder::kFrameSamples;  // stereo frames per MP3 frame
    static constexpr int kSlotCount = 128;
    static constexpr int kRingSize = kFrameSize * kSlotCount;  // 147456 stereo frames, 3.34 s
    static constexpr int kDecodeAheadLimit = 127872;           // 111 MP3 frames ahead at most
    static constexpr int kSampleRate = 44100;
    static constexpr int kUnityPitch = SoundOutput::kUnityPitch;
    static constexpr int kMinPitch = 3686;
    static constexpr int kMaxPitch = 4506;

    // What the transport is asked to do next.
    enum class Transport : int32_t { None, Play, Pause };

    // makeDecoder gives a fresh decoder for every file opened (on a loader thread).
    Deck(std::unique_ptr<SoundOutput> output, int index, EngineState& engine,
         DecoderFactory makeDecoder);
    // main: stores the current track's record in the track info store.
    ~Deck();
    Deck(const Deck&) = delete;
    Deck& operator=(const Deck&) = delete;

    // main: requests. A load pauses the deck at once and opens the file on a loader thread.
    // position is a stream position (0..1), pitch is speed x 4096 (kMinPitch..kMaxPitch), a move
    // is in stereo frames (negative: back), levels are 0..256.
    void requestLoad(const std::string& path);
    void requestPlay();
    void requestPause();
    void requestStop();
    void requestSeek(float position);
    void requestPlayFromCue();
    void pressCue();
    void setCueHere();
    void requestPitch(int pitch);
    void requestMove(int stereoFrames);
    void setVolume(int level);
    void setCueVolume(int level);

    // main: the record the background analysis stored for a track, handed to the service step,
    // which alone changes the deck's record and so cannot meet a load half way. If it is the
    // track then loaded, which the deck began without the record: its tempo (unless locked on the
    // deck), start and end of the music and peak level replace what the deck learned from the
    // part it decoded. With "Auto Mix" on, a deck not playing that still stands before the start
    // of the music, its cue point before it too, moves there as the load would have put it. A
    // record of another track is ignored.
    void takeAnalysis(const TrackInfoRecord& analysed);

    // any: the global BPM as heard at the current pitch.
    float effectiveBpm() const;
    // main: requests the pitch that brings the global BPM to targetBpm, up or down an octave;
    // false when no pitch in range does it.
    bool matchTempo(float targetBpm);

    // audio: one service step (follow the play position, then the most urgent request or
    // one more MP3 frame), one MP3 frame into the ring (0 when the ring is full), the taking in of
    // a requested file once opened (true when a load was taken up, done or failed; a load that
    // stays opening longer than the engine's load timeout fails), the resending of everything
    // buffered (sooner when the deck was silent), and the restart after a jump.
    void serviceStep();
    int decodeStep();
    bool load();
    void resend(bool wasSilent = false);
    void restartAt();
    void pause();
    // audio: the output still holds `pendingStereoFrames` not yet heard: the play position lies
    // that far behind the write position.
    void followPlayPosition(int pendingStereoFrames);
    // audio: whether a step would do anything but keep silence on the output: playing, decoding
    // ahead, a load opening, or a request waiting.
    bool needsService() const;
    // audio: whether the next step should come at once: a request is waiting (one waiting for a
    // load to open is not), or a playing deck has less than two MP3 frames decoded ahead, as just
    // after a seek or a move.
    bool wantsStepNow() const;

    // any: the deck's state. position: stream position 0..1, -1 when nothing is playable;
    // pitch: speed x 4096; ring indexes and counts: stereo frames.
    int index() const { return index_; }
    bool isLoaded() const { return durationSeconds_ != -1; }
    bool isPlayable() const { return position_ != -1.0f; }
    // Nothing playable and no load on its way: a track may be given to the deck. (A deck just
    // asked to load shows no position until the audio thread has loaded it.)
    bool isFree() const { return !isPlayable() && !loadPending(); }
    float position() const { return position_; }
    int durationSeconds() const { return durationSeconds_; }
    int pitch() const { return pitch_; }
    int pendingPitch() const { return pendingPitch_; }
    bool playing() const { return playing_ != 0; }
    int cueState() const { return cueState_; }
    int readIndex() const { return readIndex_; }
    int aheadCount() const { return aheadCount_; }
    int unfilledCount() const { return unfilledCount_; }
    bool pitchFromUser() const { return pitchFromUser_ != 0; }
    void setPitchFromUser(bool fromUser) { pitchFromUser_ = fromUser ? 1 : 0; }

    BeatDetector& beatDetector() { return detector_; }
    const BeatDetector& beatDetector() const { return detector_; }
    TrackInfoRecord& record() { return detector_.record(); }
    const TrackInfoRecord& record() const { return detector_.record(); }
    // any (main, and the display's refresh thread): may be one service step old.
    BeatView beatView() const;

    // Requests not yet taken up (any thread). loadReady: the file asked for is opened and waits
    // for the audio thread.
    bool loadPending() const { return opener_.pending(); }
    bool loadReady() const { return opener_.ready(); }
    // The stream position asked for (1 or more: stopped past the end).
    std::optional<float> pendingSeek() const { return pendingSeek_.peek(); }
    Transport transportRequest() const { return transport_; }
    int pendingMove() const { return pendingMove_; }

    // Audio-thread state (stereo frames; frameTable: the stream position of each ring slot).
    int writeIndex() const { return writeIndex_; }
    bool decoding() const { return decoding_ != 0; }
    const std::array<float, kSlotCount>& frameTable() const { return frameTable_; }
    const int16_t* ring() const { return ring_.data(); }
    SoundOutput& output() { return *output_; }

  private:
    // The transport moves of the service step.
    void seek();
    void applyPitch();
    void play();
    void moveWhilePlaying();
    void moveWhilePaused();
    void applyVolume();
    void moveReadIndex(int frames);
    int samplesBetween(double from, double to) const;
    void notifyPosition();
    // Playing, and heard at some level on the main output or the cue one.
    bool audible() const { return playing() && (volume_ > 0 || cueVolume_ > 0); }
    // The output, through the fade of a jump.
    void send(const int16_t* frames, int stereoFrames);
    void flushOutput(bool wasSilent = false);
    // Just before the play position jumps: what the old place would play next, when heard.
    void keepForFade();

    // audio: the records handed over by takeAnalysis.
    void applyAnalyses();
    void applyAnalysis(const TrackInfoRecord& analysed);
    void failLoad();
    // main: wakes the cards and the service thread for a request just left.
    void requested();
    // main, or audio while taking a load in: matchTempo without the wake.
    bool pitchForTempo(float targetBpm);
    void setPitch(int pitch);
    void widenMono(int16_t* frame);

    std::array<float, kSlotCount> frameTable_;
    int decoding_ = 0;
    BeatDetector detector_;
    std::unique_ptr<Decoder> decoder_;  // null while no file is open
    std::unique_ptr<SoundOutput> output_;
    EngineState& engine_;
    const int index_;
    TrackOpener opener_;
    std::array<int16_t, 2 * kRingSize> ring_{};
    JumpFade fade_;

    std::atomic<unsigned> loadTicket_{0};  // the engine's count of loads when this one was asked

    std::atomic<int> readIndex_{0};
    int writeIndex_ = 0;
    std::atomic<int> aheadCount_{0};
    std::atomic<int> unfilledCount_{kRingSize};

    std::atomic<int> pendingPitch_{0};
    std::atomic<Transport> transport_{Transport::None};
    static_assert(std::atomic<Transport>::is_always_lock_free);
    std::atomic<int> pendingMove_{0};
    PendingRequest<int> pendingVolume_;
    PendingRequest<float> pendingSeek_;
    // Records from takeAnalysis, one writer and one reader: a slot is the main thread's until
    // posted, the service step's until taken. Tracks are analysed one at a time, so four is ample.
    static constexpr uint32_t kAnalysisSlots = 4;
    std::array<TrackInfoRecord, kAnalysisSlots> analyses_{};
    std::atomic<uint32_t> analysesPosted_{0};
    std::atomic<uint32_t> analysesTaken_{0};

    std::atomic<int> playing_{0};
    std::atomic<int> cueState_{0};
    std::atomic<float> position_{-1.0f};
    std::atomic<int> durationSeconds_{-1};
    std::atomic<int> pitchFromUser_{0};
    std::atomic<int> pitch_{kUnityPitch};
    std::atomic<int> volume_{256};  // the levels last asked for: outputs start at full
    std::atomic<int> cueVolume_{256};
};
