// Preloaded into the capture program by its tests, this makes every file
// system behave like the network and FUSE file systems that cannot rename
// without replacing: renameat2 refuses any flag, as they do, with EINVAL.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags) {
    if (flags != 0) {
        errno = EINVAL;
        return -1;
    }
    return renameat(fromFolder, from, toFolder, to);
}
