#pragma once

#include <string>

// The path a capture writes, made safely: everything goes into a work folder
// beside it under a temporary name, and only a complete output is moved into
// place. An output abandoned on the way (a failure, an interruption) leaves
// nothing behind.
class OutputTarget {
public:
    // Throws Failure when the path exists and may not be replaced, or the
    // work folder cannot be made. Slashes at the end of the path only say
    // that it names a folder. With `force` an existing file, or a folder
    // of nothing but PNG files, is replaced.
    OutputTarget(std::string path, bool force);
    ~OutputTarget();
    OutputTarget(const OutputTarget&) = delete;
    OutputTarget& operator=(const OutputTarget&) = delete;

    const std::string& workFolder() const { return work; }

    // Moves the finished output into place: `finished`, a file inside the
    // work folder, or the work folder itself when it is empty.
    void commit(const std::string& finished = "");

private:
    void replaceExisting() const;
    void moveWithoutReplacing(const std::string& from) const;
    [[noreturn]] void throwCannotPlace() const;

    std::string path;
    std::string work;
    bool force;
    bool committed = false;
};
