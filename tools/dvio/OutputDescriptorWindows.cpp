#include "OutputDescriptor.h"

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>

namespace outputdescriptor {

int Create(const std::string& path) {
    return _open(path.c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

int StandardOutput() {
    const int fd = _fileno(stdout);
    _setmode(fd, _O_BINARY);
    return fd;
}

bool CutBack(int fd, uint64_t size) {
    return _chsize_s(fd, static_cast<__int64>(size)) == 0;
}

}  // namespace outputdescriptor
