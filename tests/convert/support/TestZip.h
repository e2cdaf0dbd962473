#pragma once

#include <string>
#include <utility>
#include <vector>

namespace corvanel::convert::testing {

// Builds ZIP archive bytes from (name, content) pairs, deflated, in the given order. Tests use it
// to make small OOXML and OpenDocument packages on the fly.
std::string MakeZip(const std::vector<std::pair<std::string, std::string>>& entries,
                    bool storeUncompressed = false);

// A minimal Word package around `documentXml` (the whole main part), with extra parts after it.
std::vector<std::pair<std::string, std::string>> DocxParts(
    const std::string& documentXml,
    const std::vector<std::pair<std::string, std::string>>& extraParts = {});

// Writes bytes to a file (replacing it); returns the path.
std::string WriteFile(const std::string& path, const std::string& bytes);

// A fresh empty folder under the system's temporary folder, removed by the destructor.
class TemporaryFolder {
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace corvanel::convert::testing
