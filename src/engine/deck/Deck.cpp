#include "engine/deck/Deck.h"

#include <algorithm>

#include "core/SharedValue.h"
#include "engine/deck/DeckEvents.h"
#include "engine/deck/TrackInfoStore.h"

Deck::Deck(std::unique_ptr<SoundOutput> output, int index, EngineState& engine,
           DecoderFactory makeDecoder)
    : detector_(frameTable_.data(), &decoding_, engine.optimizedDetection),
      output_(std::move(output)),
      engine_(engine),
      index_(index),
      opener_(std::move(makeDecoder), engine.store, engine.loadTimeout) {
    frameTable_.fill(-1.0f);
}

Deck::~Deck() {
    // The opener ends first: the record of the track before this one, which a finished load
    // handed back, must be stored before this one's.
    opener_.close();
    engine_.store->insert(snapshotRecord(detector_.record()));
}

void Deck::requested() {
    if (engine_.deviceRest != nullptr) {
        engine_.deviceRest->wakeDevices();  // before the thread can act on the request
    }
    engine_.serviceWake.notify();
}

void Deck::requestLoad(const std::string& path) {
    transport_ = Transport::Pause;
    loadTicket_ = ++engine_.loadsAsked;
    // A load requested before the previous one was taken up replaces it.
    opener_.open(path, snapshotRecord(record()), engine_.autoMixEnabled != 0);
    requested();
}

void Deck::requestPlay() {
    if (isPlayable()) {
        transport_ = Transport::Play;
        requested();
    }
}

void Deck::requestPause() {
    if (isPlayable()) {
        transport_ = Transport::Pause;
        requested();
    }
}

void Deck::requestStop() {
    pendingSeek_.post(1.0f);  // the end: nothing plays past it
    requested();
}

void Deck::requestSeek(float position) {
    if (!isLoaded()) {
        return;
    }
    if (!playing()) {
        transport_ = Transport::Play;
    }
    pendingSeek_.post(position);
    requested();
}

void Deck::requestPlayFromCue() {
    if (!isLoaded()) {
        return;
    }
    transport_ = Transport::Play;
    pendingSeek_.post(loadShared(record().cuePosition));
    requested();
}

void Deck::pressCue() {
    if (!isLoaded()) {
        return;
    }
    if (playing()) {
        transport_ = Transport::Pause;
        cueState_ = 0;
    }
    const float cue = loadShared(record().cuePosition);
    switch (cueState_) {
        case 0:
            pendingSeek_.post(cue);
            cueState_ = cue != 0.0f ? 1 : 2;
            break;
        case 1:
            pendingSeek_.post(0.0f);
            cueState_ = 2;
            break;
        default:
            pendingSeek_.post(loadShared(record().startPosition));
            cueState_ = 0;
            break;
    }
    requested();
}

void Deck::setCueHere() {
    if (!isPlayable()) {
        return;
    }
    // The exact sample being heard, not the start of its frame.
    const double withinFrame = readIndex_ % kFrameSize;
    const double cue =
        position_ + withinFrame / (static_cast<double>(durationSeconds_) * kSampleRate);
    storeShared(record().cuePosition, static_cast<float>(cue));
}

void Deck::requestPitch(int pitch) {
    pendingPitch_ = pitch;
    requested();
}

void Deck::requestMove(int stereoFrames) {
    if (isPlayable()) {
        pendingMove_ = stereoFrames;
        requested();
    }
}

void Deck::setVolume(int level) {
    volume_ = level;
    if (engine_.useDirectSound) {
        output_->setVolume(level);
    } else {
        // Wave-out outputs apply the level while writing, on the audio thread.
        pendingVolume_.post(level);
        requested();
    }
}

void Deck::setCueVolume(int level) {
    cueVolume_ = level;
    output_->setCueVolume(level);
}

void Deck::takeAnalysis(const TrackInfoRecord& analysed) {
    const uint32_t posted = analysesPosted_.load(std::memory_order_relaxed);
    if (posted - analysesTaken_.load(std::memory_order_acquire) >= kAnalysisSlots) {
        return;  // the service step stands still; the store keeps the record for the next load
    }
    analyses_[posted % kAnalysisSlots] = analysed;
    analysesPosted_.store(posted + 1, std::memory_order_release);
    engine_.serviceWake.notify();
}

void Deck::applyAnalyses() {
    const uint32_t posted = analysesPosted_.load(std::memory_order_acquire);
    uint32_t taken = analysesTaken_.load(std::memory_order_relaxed);
    for (; taken != posted; ++taken) {
        applyAnalysis(analyses_[taken % kAnalysisSlots]);
        analysesTaken_.store(taken + 1, std::memory_order_release);
    }
}

void Deck::applyAnalysis(const TrackInfoRecord& analysed) {
    TrackInfoRecord& current = record();
    if (!isLoaded() || loadShared(current.sizeKey) != analysed.sizeKey ||
        loadShared(current.nameHash) != analysed.nameHash) {
        return;
    }
    if (loadShared(current.bpmVotes) != kLockedBpmVotes) {
        storeShared(current.bpm, analysed.bpm);
        storeShared(current.bpmVotes, analysed.bpmVotes);
    }
    storeShared(current.peakLevel, analysed.peakLevel);
    storeShared(current.startPosition, analysed.startPosition);
    storeShared(current.startStrength, analysed.startStrength);
    storeShared(current.endPosition, analysed.endPosition);
    storeShared(current.endStrength, analysed.endStrength);
    engine_.deckRedraw = 1;
    const float start = analysed.startPosition;
    if (engine_.autoMixEnabled && !playing() && transport_ != Transport::Play &&
        !pendingSeek_.peek() && position_ < start && loadShared(current.cuePosition) < start) {
        pendingSeek_.post(start);
        cueState_ = 0;
    }
}

float Deck::effectiveBpm() const {
    const float bpm = loadShared(record().bpm);
    if (bpm >= 1.0f && bpm <= 999.0f) {
        return bpm * pitch_ / kUnityPitch;
    }
    return bpm;
}

bool Deck::matchTempo(float targetBpm) {
    if (!pitchForTempo(targetBpm)) {
        return false;
    }
    requested();
    return true;
}

bool Deck::pitchForTempo(float targetBpm) {
    const float bpm = loadShared(record().bpm);
    if (!(targetBpm >= 1.0f && targetBpm <= 999.0f) || !(bpm >= 1.0f && bpm <= 999.0f)) {
        return false;
    }
    float ratio = targetBpm / bpm;
    while (ratio > 1.5f) {
        ratio /= 2.0f;
    }
    while (ratio < 0.75f) {
        ratio *= 2.0f;
    }
    const int candidate = static_cast<int>(ratio * kUnityPitch);
    if (candidate < kMinPitch || candidate > kMaxPitch) {
        return false;
    }
    pendingPitch_ = candidate;
    return true;
}

void Deck::widenMono(int16_t* frame) {
    // From the last sample down, so that nothing is overwritten before it is read.
    for (int i = kFrameSize - 1; i >= 0; --i) {
        const int16_t sample = frame[i];
        frame[2 * i] = sample;
        frame[2 * i + 1] = sample;
    }
}

int Deck::decodeStep() {
    if (!playing()) {
        output_->fillSilence();
    }
    if (aheadCount_ >= kDecodeAheadLimit) {
        return 0;
    }
    int16_t* frame = &ring_[2 * writeIndex_];
    float& entry = frameTable_[writeIndex_ / kFrameSize];
    if (decoding_) {
        entry = decoder_->streamPosition();
        const int result = decoder_->decode(frame);
        if (result == Decoder::kTryAgain) {
            return 1;
        }
        if (result != Decoder::kDecoded) {
            decoding_ = 0;
            return 1;
        }
        const int bytes = decoder_->frameBytes();
        if (bytes == Decoder::kMonoFrameBytes) {
            widenMono(frame);
        } else if (bytes != Decoder::kStereoFrameBytes) {
            decoding_ = 0;
            engine_.deckStatus[index_] = kDeckDecodingError;
            return 1;
        }
        if (unfilledCount_ > 0) {
            unfilledCount_ -= kFrameSize;
        }
    }
    if (!decoding_) {
        entry = -1.0f;
        std::fill_n(frame, 2 * kFrameSize, int16_t{0});
    }
    if (playing()) {
        send(frame, kFrameSize);
    }
    detector_.feed(frame);
    writeIndex_ += kFrameSize;
    if (writeIndex_ > kRingSize - 1) {
        writeIndex_ = 0;
    }
    aheadCount_ += kFrameSize;
    return 1;
}

void Deck::resend(bool wasSilent) {
    flushOutput(wasSilent);
    const int read = readIndex_;
    if (writeIndex_ >= read) {
        send(&ring_[2 * read], writeIndex_ - read);
    } else {
        send(&ring_[2 * read], kRingSize - read);
        send(ring_.data(), writeIndex_);
    }
}

void Deck::send(const int16_t* frames, int stereoFrames) {
    fade_.write(*output_, frames, stereoFrames);
}

void Deck::flushOutput(bool wasSilent) {
    if (wasSilent) {
        output_->flushSilent();
    } else {
        output_->flush();
    }
    fade_.outputFlushed();
}

void Deck::keepForFade() {
    if (audible()) {
        fade_.capture(ring_.data(), kRingSize, readIndex_, aheadCount_);
    }
}

void Deck::pause() {
    transport_ = Transport::None;
    if (playing()) {
        playing_ = 0;
        flushOutput();
        output_->fillSilence();
    }
}

void Deck::restartAt() {
    flushOutput();
    readIndex_ = writeIndex_;
    aheadCount_ = 0;
    unfilledCount_ = kRingSize;
    detector_.clearHistory();
    decoding_ = decoder_ != nullptr ? 1 : 0;
    const Transport command = transport_;
    if (command == Transport::Play) {
        transport_ = Transport::None;
        playing_ = 1;
    } else if (command == Transport::Pause) {
        pause();
    }
    // The first frame at once gives the read entry the true stream position of the new place.
    decodeStep();
}

void Deck::followPlayPosition(int pendingStereoFrames) {
    int read = writeIndex_ - pendingStereoFrames;
    if (read < 0) {
        read += kRingSize;
    } else if (read >= kRingSize) {
        read -= kRingSize;
    }
    readIndex_ = read;
    aheadCount_ = pendingStereoFrames;
    position_ = frameTable_[read / kFrameSize];
}

void Deck::setPitch(int pitch) {
    pitch_ = pitch;
    output_->pitch = pitch;
}

bool Deck::load() {
    // Loads are taken in the order they were asked for, whichever file opened first: with Auto BPM
    // the later track matches the earlier one's tempo, the same every time.
    const Deck* waitedFor = engine_.decks[1 - index_];
    if (waitedFor != nullptr && waitedFor->loadPending() && waitedFor->loadTicket_ < loadTicket_) {
        return false;
    }
    OpenedTrack* track = opener_.takeReady();
    if (track == nullptr && !opener_.giveUpOverdue()) {
        return false;
    }
    engine_.deckStatus[index_] = kDeckNormal;
    TrackInfoRecord& current = detector_.record();
    const TrackInfoRecord previous = snapshotRecord(current);
    storeShared(current.sizeKey, 0);
    std::unique_ptr<Decoder> old = std::move(decoder_);
    frameTable_.fill(0.0f);
    detector_.resetForTrack();
    if (track == nullptr || !track->opened) {
        opener_.handBack(std::move(old), previous);
        failLoad();
        return true;
    }
    decoder_ = std::move(track->decoder);
    durationSeconds_ = track->durationSeconds;
    publishRecord(current, track->record);
    cueState_ = track->cueState;
    position_ = track->start;
    const float bpm = track->record.bpm;
    opener_.handBack(std::move(old), previous);

    const Deck* other = engine_.decks[1 - index_];
    if (engine_.autoBpmEnabled && bpm != 0.0f && other != nullptr &&
        pitchForTempo(other->effectiveBpm())) {
        pitchFromUser_ = 0;
        setPitch(pendingPitch_.exchange(0));
    } else {
        pitchFromUser_ = 1;
        setPitch(kUnityPitch);
    }
    engine_.deckRedraw = 1;
    restartAt();
    if (engine_.events != nullptr) {
        engine_.events->trackLoaded(index_);
    }
    return true;
}

void Deck::failLoad() {
    engine_.deckStatus[index_] = kDeckCannotOpen;
    durationSeconds_ = -1;
    position_ = -1.0f;
    setPitch(kUnityPitch);
    engine_.deckRedraw = 1;
    TrackInfoRecord& current = detector_.record();
    storeShared(current.bpm, 0.0f);
    storeShared(current.startPosition, 0.0f);
    storeShared(current.endPosition, 0.0f);
    storeShared(current.cuePosition, 0.0f);
    storeShared(current.startStrength, 0);
    storeShared(current.endStrength, 0);
    storeShared(current.bpmVotes, 0);
    storeShared(current.peakLevel, 1);
    restartAt();
    if (engine_.events != nullptr) {
        engine_.events->loadFailed(index_);
    }
}

bool Deck::needsService() const {
    return playing() || loadPending() || wantsStepNow() ||
           analysesPosted_.load(std::memory_order_acquire) !=
               analysesTaken_.load(std::memory_order_relaxed) ||
           aheadCount_ < kDecodeAheadLimit;
}

bool Deck::wantsStepNow() const {
    if (loadPending()) {
        return false;
    }
    return transport_ != Transport::None || pendingSeek_.pending() || pendingPitch_ != 0 ||
           pendingMove_ != 0 || pendingVolume_.pending() ||
           (playing() && decoding() && aheadCount_ < 2 * kFrameSize);
}

BeatView Deck::beatView() const {
    const TrackInfoRecord& current = record();
    return BeatView{readIndex_,
                    aheadCount_,
                    unfilledCount_,
                    pitch_,
                    loadShared(current.bpm),
                    loadShared(current.peakLevel),
                    detector_.onsetHistory(),
                    detector_.steadyOnsetHistory()};
}
