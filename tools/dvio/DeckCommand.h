// dvio deck: transport commands run in order against one deck, each answered in words.
#pragma once

#include "PluginHost.h"

#include <ostream>
#include <string>
#include <vector>

struct DeckStep {
    std::string name;      // play, stop, pause, ff, rew, step, back, record, eject, state, timecode, seek,
                           // shuttle, wait
    std::string argument;  // seek: a timecode; shuttle: a speed; wait: deck seconds
};

// The words of the command line as steps; false with a sentence when a word is not a
// command or a command lacks its argument or has a malformed one.
bool ParseDeckSteps(const std::vector<std::string>& words, std::vector<DeckStep>* steps, std::string* error);

// Runs the steps in order and prints one result per step (a line of words, or one JSON
// object per line). Stops at the first failure. Returns the exit code.
int RunDeck(PluginHost& host, const std::vector<DeckStep>& steps, bool json, std::ostream& out, std::ostream& err);

// Deck seconds a seek may take before dvio gives up on it.
constexpr double kSeekPatienceSeconds = 300.0;
