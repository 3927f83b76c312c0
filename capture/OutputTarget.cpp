#include "capture/OutputTarget.h"

#include <fcntl.h>
#include <stdio.h>
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

}  // namespace

OutputTarget::OutputTarget(std::string target, bool force) : path(std::move(target)), force(force) {
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
    // Never over something that appeared meanwhile, unless asked to.
    const std::string from = finished.empty() ? work : finished;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, path.c_str(), force ? 0 : RENAME_NOREPLACE) != 0)
        throw Failure("cannot put the output in place as " + path + ": " + std::strerror(errno));
    std::error_code error;
    if (!finished.empty()) fs::remove_all(work, error);
    committed = true;
}

void OutputTarget::replaceExisting() const {
    std::error_code error;
    if (!force || !fs::exists(fs::symlink_status(path, error))) return;
    fs::remove_all(path, error);
    if (error) throw Failure("cannot replace " + path + ": " + error.message());
}
