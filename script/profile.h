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
    // Offsets, not views: a short text lives inside the string object, and a
    // view into it would dangle once the document is moved.
    struct Line {
        size_t next = 0;        // first byte after the line end
        size_t nameBegin = 0;   // section name (headers) or key name, trimmed
        size_t nameEnd = 0;     // for a line without "=", also where its text ends
        size_t valueBegin = 0;  // value bytes, trimmed, quotes kept
        size_t valueEnd = 0;
        bool isHeader = false;
        bool hasValue = false;  // the line holds "="
    };
    struct Section {
        size_t nameBegin = 0;
        size_t nameEnd = 0;
        size_t firstLine = 0;   // the lines_ of the section: [firstLine, endLine)
        size_t endLine = 0;
        size_t insertAt = 0;    // where a new key line goes
    };

    void Parse();
    void ParseLine(size_t begin, size_t end, size_t next);
    std::string_view Bytes(size_t begin, size_t end) const;
    const Section* FindSection(std::string_view section) const;
    const Line* FindKey(std::string_view section, std::string_view key) const;
    bool OnlyLineEndsFrom(size_t at) const;
    void Insert(size_t at, std::string_view bytes);

    std::string text_;
    std::vector<Line> lines_;
    std::vector<Section> sections_;  // [0] holds the keys before any header
    size_t contentBegin_ = 0;        // past a UTF-8 byte order mark
    std::string_view lineEnd_ = "\r\n";
};

// Writes one key into a profile file in place, creating the file when it does
// not exist. Returns whether the file was written.
bool WriteProfileKey(const std::string& path, std::string_view section,
                        std::string_view key, std::string_view value);

}  // namespace tarvix
