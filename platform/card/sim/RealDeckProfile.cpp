#include "sim/RealDeckProfile.h"

namespace cardsim {

void ApplyRealDeckProfile(DeckModel* model) {
    DeckModel& m = *model;
    // Figure                        Where it comes from (typical DV decks and camcorders)
    m.threadMs = 2000;            // loading the tape round the head drum from stop takes 1 to 3 s
    m.transitionMs = 600;         // play, pause, stop and step changes on a threaded tape: about half a second
    m.ejectMs = 5000;             // unthreading and lifting the cassette out: several seconds
    m.windSpeed = 25;             // fast wind of a MiniDV tape: a 60 min cassette end to end in about 2.5 min
    m.overshootFrames = 40;       // a search at wind speed runs a second or two of tape past its target
    m.reverseStopMs = 700;        // and stops (reporting STOP) while the reels change direction
    m.landingMisses = {{1, -1, 0, 2}};  // then it creeps back and parks a frame or two off, varying from search to search
    m.staleTimecodeMs = 1000;     // subcode read while winding arrives about once a second; none while the mechanism moves
    m.lateSearchFailure = true;   // a missing timecode is searched for all the way to the tape end, then refused
    m.searchAnswer = SearchAnswer::Interim;  // searches answer INTERIM, the final answer follows when the deck parks
    m.lateFinalAnswer = true;     // a late final answer is taken for the answer to the next command sent
    m.stepsOnlyFromStill = true;  // frame advance and back work from still or play only, not from stop or wind
    m.reportsNoDevice = true;     // the state query of an unplugged deck fails with "No Device"
    m.asyncLatencyMs = 60;        // an asynchronous status answer takes a couple of bus round trips
}

void ApplyFastDeckProfile(DeckModel* model) {
    const DeckModel fast;
    DeckModel& m = *model;
    m.threadMs = fast.threadMs;
    m.transitionMs = fast.transitionMs;
    m.ejectMs = fast.ejectMs;
    m.windSpeed = fast.windSpeed;
    m.overshootFrames = fast.overshootFrames;
    m.reverseStopMs = fast.reverseStopMs;
    m.landingMisses = fast.landingMisses;
    m.staleTimecodeMs = fast.staleTimecodeMs;
    m.lateSearchFailure = fast.lateSearchFailure;
    m.searchAnswer = fast.searchAnswer;
    m.lateFinalAnswer = fast.lateFinalAnswer;
    m.stepsOnlyFromStill = fast.stepsOnlyFromStill;
    m.reportsNoDevice = fast.reportsNoDevice;
    m.asyncLatencyMs = fast.asyncLatencyMs;
}

}  // namespace cardsim
