// dvio's own check of a --fault list before the simulator gets it: every item a known
// word with a value of the right form and in range, so that a typing mistake is a
// command-line error instead of a fault that silently never happens.
#pragma once

#include <string>

// False with a sentence that names the item and the valid words.
bool CheckFaultList(const std::string& list, std::string* error);
