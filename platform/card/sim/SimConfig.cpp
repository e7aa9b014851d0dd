#include "sim/SimConfig.h"

#include "KDXCORE.h"
#include "sim/CassetteFactory.h"
#include "sim/RealDeckProfile.h"
#include "sim/World.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace cardsim {

namespace {

const char* Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

bool ParseInt(const std::string& text, int* value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || end == nullptr || *end != '\0') return false;
    *value = static_cast<int>(v);
    return true;
}

// "video", "audio" or "video+audio" (also when empty): the tracks an insert replaces.
bool ParseTracks(const std::string& text, DeckModel* model) {
    const bool video = text.empty() || text == "video" || text == "video+audio" || text == "audio+video";
    const bool audio = text.empty() || text == "audio" || text == "video+audio" || text == "audio+video";
    if (!video && !audio) return false;
    model->insertVideo = video;
    model->insertAudio = audio;
    return true;
}

void AddError(World* world, const std::string& error) {
    std::string all = world->ConfigError();
    if (!all.empty()) all += "; ";
    world->SetConfigError(all + error);
}

}  // namespace

bool ParseDeckOptions(const std::string& list, DeckModel* model, bool* writeProtect, std::string* error) {
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        if (item.empty()) continue;
        const size_t eq = item.find('=');
        const std::string name = item.substr(0, eq);
        const std::string value = eq == std::string::npos ? std::string() : item.substr(eq + 1);
        int n = 0;
        bool ok = true;
        if (name == "real" || name == "fast") {
            // A whole profile: a real deck's mechanics and manners, or the tidy default's.
            if (name == "real") ApplyRealDeckProfile(model);
            else ApplyFastDeckProfile(model);
        } else if (name == "dvcam") model->cassetteType = 0x31;
        else if (name == "nosmpte") model->smpteTimecode = false;
        else if (name == "early") model->landingOffset = -1;
        else if (name == "late") model->landingOffset = 1;
        else if (name == "protect") *writeProtect = true;
        else if (name == "status") model->searchAnswer = SearchAnswer::StatusOperand;
        else if (name == "interim") model->searchAnswer = SearchAnswer::Interim;
        else if (name == "transition") model->searchAnswer = SearchAnswer::InTransition;
        else if (name == "assemble" || name == "plain") model->syncEdit = EditKind::Assemble;
        else if (name == "insert" && (ok = ParseTracks(value, model))) model->syncEdit = EditKind::Insert;
        else if (name == "transition_ms" && (ok = ParseInt(value, &n) && n >= 0)) model->transitionMs = n;
        else if (name == "wind" && (ok = ParseInt(value, &n) && n >= 1)) model->windSpeed = n;
        else if (name == "latency" && (ok = ParseInt(value, &n) && n >= 0)) model->recordLatencyFrames = n;
        else if (name == "async_ms" && (ok = ParseInt(value, &n) && n >= 0)) model->asyncLatencyMs = n;
        else ok = false;
        if (!ok) {
            if (error != nullptr) *error = item;
            return false;
        }
    }
    return true;
}

void ApplyEnvironment(World* world) {
    if (const char* standard = Env("DVIO_SIM_STANDARD")) {
        const std::string s = standard;
        if (s == "pal" || s == "PAL" || s == "2") world->builtInOptions.standard = DIO_PAL;
        else if (s == "ntsc" || s == "NTSC" || s == "1") world->builtInOptions.standard = DIO_NTSC;
        else AddError(world, std::string("DVIO_SIM_STANDARD=") + s);
        world->card.SetStandard(world->builtInOptions.standard == DIO_PAL ? PDV_VST_PAL : PDV_VST_NTSC);
    }
    if (const char* audio = Env("DVIO_SIM_AUDIO")) {
        const std::string a = audio;
        if (a == "48000") world->builtInOptions.audio = DIO_Audio48000;
        else if (a == "44100") world->builtInOptions.audio = DIO_Audio44100;
        else if (a == "32000") world->builtInOptions.audio = DIO_Audio32000;
        else AddError(world, std::string("DVIO_SIM_AUDIO=") + a);
    }
    if (const char* at = Env("DVIO_SIM_FORMAT_SWITCH")) {
        int position = 0;
        if (ParseInt(at, &position) && position >= 0) world->builtInOptions.formatSwitchAt = position;
        else AddError(world, std::string("DVIO_SIM_FORMAT_SWITCH=") + at);
    }
    world->InsertCassette(MakeBuiltInCassette(world->builtInOptions), 0);

    bool protect = false;
    if (const char* deck = Env("DVIO_SIM_DECK")) {
        std::string error;
        if (!ParseDeckOptions(deck, &world->model, &protect, &error)) AddError(world, "DVIO_SIM_DECK item " + error);
    }
    if (const char* tape = Env("DVIO_SIM_TAPE")) {
        std::string error;
        std::unique_ptr<Cassette> cassette = OpenFileCassette(tape, &error);
        if (cassette) world->InsertCassette(std::move(cassette), 0);
        else AddError(world, "DVIO_SIM_TAPE: " + error);
    }
    if (protect) world->cassette()->writeProtected = true;
    if (const char* speed = Env("DVIO_SIM_SPEED")) {
        char* end = nullptr;
        const double factor = std::strtod(speed, &end);
        if (end == nullptr || *end != '\0' || !world->clock.SetSpeed(factor))
            AddError(world, std::string("DVIO_SIM_SPEED=") + speed);
    }
    if (const char* faults = Env("DVIO_SIM_FAULTS")) {
        std::string error;
        if (!ParseFaultList(faults, world->Now(), &world->faults, &error))
            AddError(world, "DVIO_SIM_FAULTS item " + error);
    }
}

}  // namespace cardsim
