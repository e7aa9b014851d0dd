// The system's way of loading a library by file name and finding a function in it by
// its plain name. One source per system (PluginLibraryPosix.cpp, PluginLibraryWindows.cpp);
// the build picks one.
#pragma once

#include <string>

namespace pluginlibrary {

// The opened library, or null with the system's reason in *error. The library stays
// loaded for the rest of the process, as a host keeps its plug-ins.
void* Open(const std::string& path, std::string* error);
// The address of the exported function `name`, or null.
void* Find(void* library, const char* name);
// The folder of the running program, with a trailing separator ("" when unknown).
std::string ProgramFolder();
// The plug-in's file name on this system.
const char* PluginFileName();

}  // namespace pluginlibrary
