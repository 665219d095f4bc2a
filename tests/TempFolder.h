// A folder of its own for a test's files, removed with everything in it afterwards, and whole-file
// reads and writes of bytes.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

class TTempFolder {
public:
    explicit TTempFolder(const char* Prefix = "corvane")
    {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(Prefix) + "-XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("no temporary folder");
        FDir = pattern;
    }
    ~TTempFolder()
    {
        std::error_code ec;
        // A test may have taken the write bits away.
        std::filesystem::permissions(FDir, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(FDir, ec);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    const std::filesystem::path& Dir() const { return FDir; }
    std::string Path(const std::string& Name) const { return (FDir / Name).string(); }

private:
    std::filesystem::path FDir;
};

inline std::string ReadFileBytes(const std::string& Path)
{
    std::ifstream in(Path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFileBytes(const std::string& Path, const std::string& Bytes)
{
    std::ofstream(Path, std::ios::binary | std::ios::trunc) << Bytes;
}

// A file's bytes as UTF-16 with its byte-order mark, of text whose bytes are its characters
// (Latin-1).
inline std::string Utf16WithMark(const std::string& Latin1, bool BigEndian)
{
    std::string out = BigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : Latin1) {
        out += BigEndian ? '\0' : c;
        out += BigEndian ? c : '\0';
    }
    return out;
}
