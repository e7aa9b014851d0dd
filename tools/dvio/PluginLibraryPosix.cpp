#include "PluginLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace pluginlibrary {

void* Open(const std::string& path, std::string* error) {
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) *error = dlerror();
    return library;
}

void* Find(void* library, const char* name) {
    return dlsym(library, name);
}

std::string ProgramFolder() {
    char self[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return "";
    std::string folder(self, static_cast<size_t>(length));
    folder.resize(folder.rfind('/') + 1);
    return folder;
}

const char* PluginFileName() {
    return "DIOdv1394Velorin.so";
}

}  // namespace pluginlibrary
