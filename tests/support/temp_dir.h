// A temporary folder for one test, made fresh under /tmp and removed with
// everything in it at the end. By default it is also entered as the current
// directory (the game reads its data from there) and left again at the end;
// tests that only need a place for files keep the current directory.
#pragma once

#include <string>

class TempDir {
public:
    enum class Cwd { Enter, Keep };

    explicit TempDir(Cwd cwd = Cwd::Enter);  // throws when it cannot be made or entered
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
    std::string previous_;  // empty when the current directory was kept
};
