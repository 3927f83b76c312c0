#include "capture/OutputTarget.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <filesystem>
#include <system_error>

#include "base/Failure.h"

namespace fs = std::filesystem;

namespace {

bool holdsOnlyPngFiles(const fs::path& folder) {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error))
        if (!entry.is_regular_file() || entry.path().extension() != ".png") return false;
    return !error;
}

// The path without the slashes that end it: "frames/", as shells complete a
// folder's name, names the folder "frames".
std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// Makes `path` as an empty file or folder, only if nothing is there yet.
bool claim(const std::string& path, bool folder) {
    if (folder) return mkdir(path.c_str(), 0755) == 0;
    const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    return file >= 0 && close(file) == 0;
}

}  // namespace

OutputTarget::OutputTarget(std::string target, bool force)
    : path(withoutTrailingSlashes(std::move(target))), force(force) {
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (fs::exists(status)) {
        if (!force) throw Failure(path + " exists; give --force to replace it");
        if (fs::is_directory(status) && !holdsOnlyPngFiles(path))
            throw Failure(path + " is a folder with more than PNG files in it; not replacing it");
        if (!fs::is_directory(status) && !fs::is_regular_file(status))
            throw Failure(path + " is neither a file nor a folder; not replacing it");
    }
    const fs::path where = fs::path(path).parent_path();
    const std::string name = fs::path(path).filename().string();
    if (name.empty() || name == "." || name == "..") throw Failure("cannot write to " + path + ": not a name for an output");
    work = (where / ("." + name + ".partial-" + std::to_string(getpid()))).string();
    fs::remove_all(work, error);
    if (!fs::create_directory(work, error))
        throw Failure("cannot write to " + path + ": " + error.message());
}

OutputTarget::~OutputTarget() {
    if (committed) return;
    std::error_code error;
    fs::remove_all(work, error);
}

void OutputTarget::commit(const std::string& finished) {
    replaceExisting();
    const std::string from = finished.empty() ? work : finished;
    if (force) {
        if (rename(from.c_str(), path.c_str()) != 0) throwCannotPlace();
    } else {
        moveWithoutReplacing(from);
    }
    std::error_code error;
    if (!finished.empty()) fs::remove_all(work, error);
    committed = true;
}

// Never over something that appeared meanwhile. Where the file system cannot
// rename without replacing (some network and FUSE file systems refuse
// RENAME_NOREPLACE), an empty file or folder made only if the name is free
// claims it first, and the rename then replaces nothing but that.
void OutputTarget::moveWithoutReplacing(const std::string& from) const {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, path.c_str(), RENAME_NOREPLACE) == 0) return;
    if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) throwCannotPlace();
    const bool folder = from == work;
    if (!claim(path, folder)) throwCannotPlace();
    if (rename(from.c_str(), path.c_str()) == 0) return;
    const int renameError = errno;
    if (folder) rmdir(path.c_str());
    else unlink(path.c_str());
    errno = renameError;
    throwCannotPlace();
}

void OutputTarget::throwCannotPlace() const {
    throw Failure("cannot put the output in place as " + path + ": " + std::strerror(errno));
}

void OutputTarget::replaceExisting() const {
    std::error_code error;
    if (!force || !fs::exists(fs::symlink_status(path, error))) return;
    fs::remove_all(path, error);
    if (error) throw Failure("cannot replace " + path + ": " + error.message());
}
