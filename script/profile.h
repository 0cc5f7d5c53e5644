#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvix {

// A private profile (INI) file held as its bytes and parsed once. Reads follow
// the platform's profile rules (names without regard to case, values trimmed,
// one pair of enclosing quotes removed, defaults for what is missing). Writes
// change only the bytes of the key they touch, so everything else in the file,
// action lines included, stays exactly as it was.
class ProfileDocument {
public:
    ProfileDocument() = default;
    explicit ProfileDocument(std::string text);

    // A file that cannot be read gives an empty document.
    static ProfileDocument FromFile(const std::string& path);

    // As GetPrivateProfileStringA: the value, or the default when the section
    // or key is missing.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view def) const;

    // As GetPrivateProfileIntA: the value read as a signed decimal number, or
    // the default when the key is missing or empty.
    int32_t GetInt(std::string_view section, std::string_view key, int32_t def) const;

    bool HasKey(std::string_view section, std::string_view key) const;

    // As WritePrivateProfileStringA with a value: replaces the value of the key
    // in place, or adds the key (and, if needed, the section) the way the
    // platform does.
    void SetString(std::string_view section, std::string_view key, std::string_view value);

    const std::string& Text() const { return text_; }

private:
    struct Line {
        size_t begin = 0;       // first byte of the line in text_
        size_t end = 0;         // one past the last byte before the line end
        size_t next = 0;        // first byte of the following line
        int section = -1;       // index into sections_ of the section it lies in
        bool isHeader = false;
        std::string_view name;  // section name (headers) or key name, trimmed
        size_t valueBegin = 0;  // value bytes in text_, trimmed, quotes kept
        size_t valueEnd = 0;
        bool hasValue = false;  // the line holds "="
    };
    struct Section {
        std::string_view name;
        size_t headerLine = 0;
    };

    void Parse();
    const Line* FindKey(std::string_view section, std::string_view key) const;

    std::string text_;
    std::vector<Line> lines_;
    std::vector<Section> sections_;
};

// Writes one key into a profile file in place, creating the file when it does
// not exist. Returns whether the file was written.
bool WriteProfileString(const std::string& path, std::string_view section,
                        std::string_view key, std::string_view value);

}  // namespace tarvix
