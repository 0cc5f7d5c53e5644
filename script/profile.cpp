#include "profile.h"

#include <cerrno>
#include <utility>

#include "ascii.h"
#include "file_io.h"

namespace tarvix {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// The platform's white space around names and values: the C blanks and line
// ends, and the DOS end-of-file mark that old editors leave behind.
bool IsProfileSpace(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n' ||
           c == '\x1a';
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

std::string_view TrimFront(std::string_view s) { return ascii::TrimFront(s, IsProfileSpace); }

std::string_view Trim(std::string_view s) { return ascii::Trim(s, IsProfileSpace); }

// The platform's functions take C strings: nothing past a NUL is seen.
std::string_view UpToNul(std::string_view s) { return s.substr(0, s.find('\0')); }

bool SameName(std::string_view a, std::string_view b) { return ascii::EqualsNoCase(a, b); }

bool IsQuote(char c) { return c == '"' || c == '\''; }

bool IsQuoted(std::string_view v) { return v.size() >= 2 && IsQuote(v[0]) && v.back() == v[0]; }

std::string_view Unquoted(std::string_view v) { return IsQuoted(v) ? v.substr(1, v.size() - 2) : v; }

// The platform cuts trailing spaces off a default (never its first byte) and
// then takes it through the same quote rule as a value.
std::string_view DefaultText(std::string_view def) {
    def = UpToNul(def);
    size_t n = def.size();
    while (n > 1 && def[n - 1] == ' ') --n;
    return Unquoted(def.substr(0, n));
}

// The platform reads a number out of a 30-character buffer filled the way a
// string read fills it, so only the first 29 characters count; for a quoted
// value whose quotes fill the buffer exactly, the closing quote's cut costs
// one more.
std::string_view NumberText(std::string_view raw) {
    constexpr size_t kCharsRead = 29;
    if (!IsQuoted(raw)) return raw.substr(0, kCharsRead);
    const std::string_view afterQuote = raw.substr(1);
    std::string_view text = afterQuote.substr(0, kCharsRead);
    if (afterQuote.size() <= kCharsRead + 1) text.remove_suffix(1);
    return text;
}

// Signed decimal, wrapping modulo 2^32 as the platform does. Digits only:
// "0x10" is 0 here, so a value means the same in every file.
// Every control byte counts as a blank before the number.
int32_t ParseDecimal(std::string_view s) {
    s = ascii::TrimFront(s, [](char c) { return static_cast<unsigned char>(c) <= ' '; });
    return ascii::ReadWrappingDecimal(s).value;
}

}  // namespace

ProfileDocument::ProfileDocument(std::string text) : text_(std::move(text)) { Parse(); }

ProfileDocument ProfileDocument::FromFile(const std::string& path) {
    std::string text;
    if (!ReadWholeFile(path, text)) text.clear();
    return ProfileDocument(std::move(text));
}

std::string_view ProfileDocument::Bytes(size_t begin, size_t end) const {
    return std::string_view(text_).substr(begin, end - begin);
}

// One pass over the text. A line ends at CR LF, LF or a lone CR, as the
// platform splits them; blank lines hold nothing and are not kept.
void ProfileDocument::Parse() {
    lines_.clear();
    sections_.clear();
    const std::string_view text(text_);
    contentBegin_ = text.substr(0, kUtf8Mark.size()) == kUtf8Mark ? kUtf8Mark.size() : 0;
    lineEnd_ = "\r\n";
    bool lineEndSeen = false;

    Section unnamed;
    unnamed.insertAt = contentBegin_;
    sections_.push_back(unnamed);

    size_t pos = contentBegin_;
    while (pos < text.size()) {
        const size_t begin = pos;
        while (pos < text.size() && !IsLineEnd(text[pos])) ++pos;
        const size_t end = pos;
        if (pos < text.size()) {
            const bool crlf = text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n';
            if (!lineEndSeen) {
                // The line end for lines added at the end of the file: the
                // file's own, but not a lone CR, which script lines do not
                // end at.
                lineEnd_ = text[pos] == '\n' ? "\n" : "\r\n";
                lineEndSeen = true;
            }
            pos += crlf ? 2 : 1;
        }
        ParseLine(begin, end, pos);
    }
}

void ProfileDocument::ParseLine(size_t begin, size_t end, size_t next) {
    const std::string_view raw = Bytes(begin, end);
    const std::string_view line = Trim(raw);
    if (line.empty()) return;
    const size_t lineBegin = begin + static_cast<size_t>(line.data() - raw.data());

    Line parsed;
    parsed.next = next;
    if (line.front() == '[') {
        // The name runs to the last "]" of the line; whatever follows it is
        // ignored, and a line without one is a key line.
        const size_t close = line.rfind(']');
        if (close != std::string_view::npos) {
            const std::string_view name = UpToNul(Trim(line.substr(1, close - 1)));
            parsed.isHeader = true;
            parsed.nameBegin = lineBegin + static_cast<size_t>(name.data() - line.data());
            parsed.nameEnd = parsed.nameBegin + name.size();
            Section section;
            section.nameBegin = parsed.nameBegin;
            section.nameEnd = parsed.nameEnd;
            section.firstLine = lines_.size() + 1;
            section.endLine = section.firstLine;
            section.insertAt = next;
            sections_.push_back(section);
            lines_.push_back(parsed);
            return;
        }
    }
    const size_t equals = line.find('=');
    std::string_view name = line.substr(0, equals);
    if (equals != std::string_view::npos) {
        const std::string_view value = UpToNul(TrimFront(line.substr(equals + 1)));
        parsed.hasValue = true;
        parsed.valueBegin = lineBegin + static_cast<size_t>(value.data() - line.data());
        parsed.valueEnd = parsed.valueBegin + value.size();
        name = Trim(name);
    }
    name = UpToNul(name);
    parsed.nameBegin = lineBegin;
    parsed.nameEnd = lineBegin + name.size();
    lines_.push_back(parsed);
    Section& section = sections_.back();
    section.endLine = lines_.size();
    section.insertAt = next;
}

const ProfileDocument::Section* ProfileDocument::FindSection(std::string_view section) const {
    section = Trim(UpToNul(section));
    // Only the first section of a name counts, as with the platform: a key in
    // a repeated section is never found.
    for (const Section& s : sections_)
        if (SameName(Bytes(s.nameBegin, s.nameEnd), section)) return &s;
    return nullptr;
}

const ProfileDocument::Line* ProfileDocument::FindKey(std::string_view section,
                                                      std::string_view key) const {
    const Section* s = FindSection(section);
    if (!s) return nullptr;
    key = Trim(UpToNul(key));
    for (size_t i = s->firstLine; i < s->endLine; ++i) {
        const Line& line = lines_[i];
        if (SameName(Bytes(line.nameBegin, line.nameEnd), key)) return &line;
    }
    return nullptr;
}

std::string ProfileDocument::GetString(std::string_view section, std::string_view key,
                                       std::string_view def) const {
    const Line* line = FindKey(section, key);
    if (!line || !line->hasValue) return std::string(DefaultText(def));
    return std::string(Unquoted(Bytes(line->valueBegin, line->valueEnd)));
}

int32_t ProfileDocument::GetInt(std::string_view section, std::string_view key,
                                int32_t def) const {
    const Line* line = FindKey(section, key);
    if (!line || !line->hasValue) return def;
    const std::string_view text = NumberText(Bytes(line->valueBegin, line->valueEnd));
    return text.empty() ? def : ParseDecimal(text);
}

bool ProfileDocument::HasKey(std::string_view section, std::string_view key) const {
    const Line* line = FindKey(section, key);
    return line && line->hasValue;
}

// An added line ends as the line before it does, so that it adds no line to
// the way script lines are split (at LF only) where a hand-edited file ends
// a line with CR alone. A last line without a line end gets one first, so
// the addition does not run on from it. For the script reader, everything
// up to the next LF is one line: where only CRs follow the point of
// insertion on that line, an LF goes after the CR before it (CR LF is the
// same single line end to the profile reader) before anything is added, so
// that the addition stands on lines of its own for both readers.
// Whether the script reader's line holds nothing but CRs from `at` on.
bool ProfileDocument::OnlyLineEndsFrom(size_t at) const {
    const size_t next = text_.find_first_not_of('\r', at);
    return next == std::string::npos || text_[next] == '\n';
}

void ProfileDocument::Insert(size_t at, std::string_view bytes) {
    std::string insertion;
    std::string_view lineEnd = lineEnd_;
    if (at > contentBegin_ && text_[at - 1] == '\r' && OnlyLineEndsFrom(at)) {
        insertion += '\n';
        lineEnd = "\r\n";
    } else if (at == text_.size() && at > contentBegin_ && !IsLineEnd(text_.back())) {
        insertion += lineEnd_;
    } else if (at > contentBegin_ && text_[at - 1] == '\r') {
        lineEnd = "\r";
    } else if (at > contentBegin_ && text_[at - 1] == '\n') {
        lineEnd = at - 1 > contentBegin_ && text_[at - 2] == '\r' ? "\r\n" : "\n";
    }
    insertion += bytes;
    insertion += lineEnd;
    text_.insert(at, insertion);
}

void ProfileDocument::SetString(std::string_view section, std::string_view key,
                                std::string_view value) {
    if (sections_.empty()) Parse();
    // Names are matched trimmed, but a name that is added keeps its trailing
    // blanks, and a value loses its leading ones: the platform writes so.
    value = TrimFront(UpToNul(value));
    const std::string_view keyName = TrimFront(UpToNul(key));
    const Section* s = FindSection(section);
    if (!s) {
        const std::string_view sectionName = TrimFront(UpToNul(section));
        Insert(text_.size(), "[" + std::string(sectionName) + "]");
        Parse();
        s = FindSection(section);
        if (!s) return;  // a name the platform could not find again either
        Insert(s->insertAt, std::string(keyName) + "=" + std::string(value));
    } else if (const Line* line = FindKey(section, key); !line) {
        Insert(s->insertAt, std::string(keyName) + "=" + std::string(value));
    } else if (line->hasValue) {
        text_.replace(line->valueBegin, line->valueEnd - line->valueBegin, value);
    } else {
        text_.insert(line->nameEnd, "=" + std::string(value));
    }
    Parse();
}

bool WriteProfileKey(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    std::string text;
    errno = 0;
    const bool existed = ReadWholeFile(path, text);
    // Only a file that is not there starts empty: one that is there but could
    // not be read would otherwise be replaced by this one key.
    if (!existed && errno != ENOENT) return false;
    if (!existed) text.clear();
    ProfileDocument doc(text);
    doc.SetString(section, key, value);
    if (existed && doc.Text() == text) return true;
    return WriteFileAtomically(path, doc.Text());
}

}  // namespace tarvix
