// A fresh temporary folder for a test, removed with everything in it at the end.
// WorkingDirectory also makes it the current directory, where the library keeps
// its store files.
#pragma once

#include <filesystem>
#include <string>

namespace korvel::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::filesystem::path &Path() const { return path_; }
    std::string File(const std::string &name) const { return (path_ / name).string(); }

    // Writes `content` into the file `name` below the folder and returns its path.
    std::string Write(const std::string &name, const std::string &content) const;
    // Reads the whole file `name` below the folder ("" when missing).
    std::string Read(const std::string &name) const;

private:
    std::filesystem::path path_;
};

class WorkingDirectory : public TempDir {
public:
    WorkingDirectory();
    ~WorkingDirectory();

private:
    std::filesystem::path previous_;
};

} // namespace korvel::testing
