#include "sim/Faults.h"

#include "KDXCORE.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace cardsim {

void Faults::Clear() { *this = Faults(); }

bool Faults::Take(Counted* fault, uint32_t* code) {
    if (fault->times == 0) return false;
    if (fault->times > 0) --fault->times;
    *code = fault->code;
    return true;
}

void Faults::FailOpen(DWORD code, int times) { open_ = {code, times}; }

bool Faults::TakeOpenFailure(DWORD* code) {
    uint32_t value = 0;
    if (!Take(&open_, &value)) return false;
    *code = value;
    return true;
}

void Faults::FailDevInitialize(DDCError_t error, int times) {
    devInitialize_ = {static_cast<uint32_t>(error), times};
}

bool Faults::TakeDevInitializeFailure(DDCError_t* error) {
    uint32_t value = 0;
    if (!Take(&devInitialize_, &value)) return false;
    *error = static_cast<DDCError_t>(value);
    return true;
}

void Faults::FailDeckCall(const std::string& name, DDCError_t error, int times) {
    deckCalls_[name] = {static_cast<uint32_t>(error), times};
}

bool Faults::TakeDeckCallFailure(const char* name, DDCError_t* error) {
    if (deckCalls_.empty()) return false;
    auto it = deckCalls_.find(name);
    uint32_t value = 0;
    if (it == deckCalls_.end() || !Take(&it->second, &value)) return false;
    *error = static_cast<DDCError_t>(value);
    return true;
}

void Faults::RefuseCardCall(const std::string& name, DWORD code, int times) { cardCalls_[name] = {code, times}; }

bool Faults::TakeCardCallRefusal(const char* name, DWORD* code) {
    if (cardCalls_.empty()) return false;
    auto it = cardCalls_.find(name);
    uint32_t value = 0;
    if (it == cardCalls_.end() || !Take(&it->second, &value)) return false;
    *code = value;
    return true;
}

void Faults::ScheduleDisconnect(SimTime at, SimTime reconnectAt) {
    disconnectAt_ = at;
    reconnectAt_ = reconnectAt;
}

bool Faults::DropsArrival(int64_t n) const {
    for (const Range& r : drops_)
        if (r.Contains(n)) return true;
    return false;
}

bool Faults::CorruptsArrival(int64_t n) const {
    for (const Range& r : corrupts_)
        if (r.Contains(n)) return true;
    return false;
}

LONG Faults::TimecodeShiftAt(int64_t position) const {
    LONG shift = 0;
    for (const TimecodeBreak& b : breaks_)
        if (position >= b.position) shift += b.jump;
    return shift;
}

bool Faults::SubcodeMissingAt(int64_t position) const {
    for (const Range& r : noSubcode_)
        if (r.Contains(position)) return true;
    return false;
}

Faults::ReadDamage Faults::TakeReadDamage(int64_t position) {
    ReadDamage damage;
    if (readErrors_.empty()) return damage;
    bool covered = false;
    int& reads = damagedReads_[position];
    for (const ReadError& e : readErrors_) {
        if (!e.positions.Contains(position)) continue;
        covered = true;
        if (e.times >= 0 && reads >= e.times) continue;
        damage.concealedBlocks = std::max(damage.concealedBlocks, e.blocks);
        damage.invalidSamples = std::max(damage.invalidSamples, e.samples);
    }
    if (covered) ++reads;
    else damagedReads_.erase(position);
    return damage;
}

namespace {

bool ParseNumber(const std::string& text, int64_t* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 0);
    if (end == nullptr || *end != '\0') return false;
    *value = v;
    return true;
}

// "A", "A:B" -> a, b (b keeps its default when absent).
bool ParsePair(const std::string& text, int64_t* a, int64_t* b) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return ParseNumber(text, a);
    return ParseNumber(text.substr(0, colon), a) && ParseNumber(text.substr(colon + 1), b);
}

// "VALUE" or "VALUE*TIMES".
bool ParseCounted(const std::string& text, int64_t* value, int* times) {
    const size_t star = text.find('*');
    *times = -1;
    if (star == std::string::npos) return ParseNumber(text, value);
    int64_t t = 0;
    if (!ParseNumber(text.substr(star + 1), &t) || t < 0) return false;
    *times = static_cast<int>(t);
    return ParseNumber(text.substr(0, star), value);
}

// "A[:B[:C]][*TIMES]" (B and C keep their defaults when absent; TIMES -1).
bool ParseTriple(const std::string& text, int64_t* a, int64_t* b, int64_t* c, int* times) {
    std::string body = text;
    *times = -1;
    const size_t star = text.find('*');
    if (star != std::string::npos) {
        int64_t t = 0;
        if (!ParseNumber(text.substr(star + 1), &t) || t < 0) return false;
        *times = static_cast<int>(t);
        body = text.substr(0, star);
    }
    const size_t first = body.find(':');
    const size_t second = first == std::string::npos ? std::string::npos : body.find(':', first + 1);
    if (second == std::string::npos) return ParsePair(body, a, b);
    return ParsePair(body.substr(0, second), a, b) && ParseNumber(body.substr(second + 1), c);
}

std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    const size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

bool ApplyItem(const std::string& name, const std::string& value, bool hasValue, SimTime now,
               Faults* faults) {
    int64_t a = 0;
    int64_t b = 1;
    int times = -1;
    if (name == "open") {
        if (!ParseCounted(value, &a, &times)) return false;
        faults->FailOpen(static_cast<DWORD>(a), times);
    } else if (name == "ddcinit") {
        if (!ParseCounted(value, &a, &times)) return false;
        faults->FailDevInitialize(static_cast<DDCError_t>(a), times);
    } else if (name == "ddc") {
        const size_t colon = value.find(':');
        if (colon == std::string::npos || colon == 0) return false;
        if (!ParseCounted(value.substr(colon + 1), &a, &times)) return false;
        faults->FailDeckCall(value.substr(0, colon), static_cast<DDCError_t>(a), times);
    } else if (name == "refuse") {
        const size_t colon = value.find(':');
        const size_t star = value.find('*');
        const std::string function = value.substr(0, std::min(colon, star));
        if (function.empty()) return false;
        a = KDX_E_DEV_REJECT_SRV;
        if (colon != std::string::npos) {
            if (!ParseCounted(value.substr(colon + 1), &a, &times)) return false;
        } else if (star != std::string::npos) {
            int64_t t = 0;
            if (!ParseNumber(value.substr(star + 1), &t) || t < 0) return false;
            times = static_cast<int>(t);
        }
        faults->RefuseCardCall(function, static_cast<DWORD>(a), times);
    } else if (name == "driverstate") {
        if (!ParseNumber(value, &a)) return false;
        faults->forceDriverState = true;
        faults->forcedDriverState = static_cast<LONG>(a);
    } else if (name == "disconnect") {
        b = -1;
        if (!ParsePair(value, &a, &b) || a < 0) return false;
        const SimTime at = now + MillisecondsToSim(a);
        faults->ScheduleDisconnect(at, b >= a ? now + MillisecondsToSim(b) : kNever);
    } else if (name == "stuck" && !hasValue) {
        faults->stuckInTransition = true;
    } else if (name == "stall" && !hasValue) {
        faults->stallCapture = true;
    } else if (name == "capturestart" || name == "playbackstart") {
        a = KDX_E_DEV_REJECT_SRV;
        if (hasValue && !ParseNumber(value, &a)) return false;
        (name == "capturestart" ? faults->captureStartRefusal : faults->playbackStartRefusal) =
            static_cast<DWORD>(a);
    } else if (name == "drop" || name == "corrupt" || name == "nosubcode") {
        if (!ParsePair(value, &a, &b) || a < 0 || b < 1) return false;
        if (name == "drop") faults->DropCapturedFrames(a, b);
        else if (name == "corrupt") faults->CorruptCapturedFrames(a, b);
        else faults->RemoveSubcode(a, b);
    } else if (name == "sta" || name == "audioerr") {
        int64_t amount = 10;
        if (!ParseTriple(value, &a, &b, &amount, &times) || a < 0 || b < 1 || amount < 1 || amount > 100000)
            return false;
        if (name == "sta") faults->ConcealVideoBlocks(a, b, static_cast<int>(amount), times);
        else faults->InvalidateAudioSamples(a, b, static_cast<int>(amount), times);
    } else if (name == "tcbreak") {
        b = 100;
        if (!ParsePair(value, &a, &b) || a < 0) return false;
        faults->AddTimecodeBreak(a, static_cast<LONG>(b));
    } else {
        return false;
    }
    return true;
}

}  // namespace

bool ParseFaultList(const std::string& list, SimTime now, Faults* faults, std::string* error) {
    std::stringstream items(list);
    std::string item;
    while (std::getline(items, item, ',')) {
        item = Trim(item);
        if (item.empty()) continue;
        const size_t eq = item.find('=');
        const std::string name = Trim(item.substr(0, eq));
        const std::string value = eq == std::string::npos ? std::string() : Trim(item.substr(eq + 1));
        if (!ApplyItem(name, value, eq != std::string::npos, now, faults)) {
            if (error != nullptr) *error = item;
            return false;
        }
    }
    return true;
}

}  // namespace cardsim
