#include "OutputDescriptor.h"

#include <fcntl.h>
#include <unistd.h>

namespace outputdescriptor {

int Create(const std::string& path) {
    return open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
}

int StandardOutput() {
    return STDOUT_FILENO;
}

bool CutBack(int fd, uint64_t size) {
    return ftruncate(fd, static_cast<off_t>(size)) == 0;
}

}  // namespace outputdescriptor
