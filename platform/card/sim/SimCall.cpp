#include "sim/SimCall.h"

namespace cardsim {

SimCall::SimCall(const char* function, std::initializer_list<int64_t> arguments)
    : world_(World::Instance()), lock_(world_.mutex) {
    world_.AdvanceToNow();
    entry_.function = function;
    entry_.arguments.assign(arguments.begin(), arguments.end());
}

bool SimCall::Refused() {
    DWORD code = 0;
    if (!world_.faults.TakeCardCallRefusal(entry_.function.c_str(), &code)) return false;
    world_.card.Fail(code);
    return true;
}

SimCall::~SimCall() {
    entry_.timeMicros = world_.NowMicros();
    entry_.lastError = world_.card.LastError();
    world_.journal.Add(std::move(entry_));
}

}  // namespace cardsim
