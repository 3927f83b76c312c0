// Puts a special file at a path and holds it until killed, for the tests of
// soundtracks that give nothing to read:
//   hold_special_file socket PATH    a listening Unix socket nobody writes to
//   hold_special_file terminal PATH  a symbolic link to a pseudo-terminal that
//                                    nobody types into
// Writes "ready" on stdout once the file is in place.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "hold_special_file: %s: %s\n", message.c_str(), std::strerror(errno));
    std::exit(1);
}

void makeSocket(const char* path) {
    const int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    if (listener < 0) fail("socket");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (std::strlen(path) >= sizeof address.sun_path) fail("path too long");
    std::strcpy(address.sun_path, path);
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) fail("bind");
    if (listen(listener, 1) != 0) fail("listen");
}

void makeTerminal(const char* path) {
    const int controller = posix_openpt(O_RDWR | O_NOCTTY);
    if (controller < 0 || grantpt(controller) != 0 || unlockpt(controller) != 0) fail("pseudo-terminal");
    const char* terminal = ptsname(controller);
    if (terminal == nullptr || symlink(terminal, path) != 0) fail("symlink");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: hold_special_file socket|terminal PATH\n");
        return 2;
    }
    const std::string kind = argv[1];
    if (kind == "socket") {
        makeSocket(argv[2]);
    } else if (kind == "terminal") {
        makeTerminal(argv[2]);
    } else {
        std::fprintf(stderr, "hold_special_file: unknown kind %s\n", argv[1]);
        return 2;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) pause();
}
