// A temporary folder that a test plays in: made fresh, entered as the current
// directory (the game reads its data from there), left and removed at the end.
#pragma once

#include <string>

class TempDir {
public:
    TempDir();   // makes /tmp/quillmara-test-XXXXXX and changes into it
    ~TempDir();  // changes back and removes the folder with everything in it
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& relative) const { return path_ + "/" + relative; }

private:
    std::string path_;
    std::string previous_;
};
