// The simulated world chosen from the environment, for any host:
//   DVIO_SIM_TAPE      a raw .dv file loaded as the cassette (written back after recording)
//   DVIO_SIM_STANDARD  ntsc or pal (also 1 or 2): the built-in tape's and the card's standard
//   DVIO_SIM_AUDIO     48000, 44100 or 32000: the built-in tape's audio
//   DVIO_SIM_FORMAT_SWITCH  a position from which the built-in tape is in the other standard
//   DVIO_SIM_SPEED     the clock's speed factor (default 1)
//   DVIO_SIM_FAULTS    a fault list (Faults.h)
//   DVIO_SIM_DECK      deck model options (ParseDeckOptions)
// A value that is not understood is reported through SimControl's ConfigError and
// otherwise ignored.
#pragma once

#include "sim/SimTypes.h"

#include <string>

namespace cardsim {

class World;

// Applies the environment to a freshly reset world (called under construction).
void ApplyEnvironment(World* world);

// Deck model options, separated by commas: real (the profile of a real DV deck, slow
// and untidy: RealDeckProfile.h) or fast (the tidy default deck) set the deck's
// mechanics and AV/C manners; the edit selector and the other words combine with
// either (DVIO_SIM_DECK=real,insert=video), and a figure given after the profile
// replaces the profile's (real,wind=40); dvcam, nosmpte, early, late, protect,
// status (searches answered with a STATUS operand), interim, transition (searches
// answered IN TRANSITION), assemble (synchronised record rewrites everything; plain
// is the same), insert=video|audio|video+audio (synchronised record keeps the tape's
// subcode and replaces those tracks; the default, with both), transition_ms=N, wind=N, latency=N, async_ms=N. `writeProtect` receives the
// protect option. False with the item in *error when one is not understood.
bool ParseDeckOptions(const std::string& list, DeckModel* model, bool* writeProtect, std::string* error);

}  // namespace cardsim
