// An INI file held as its lines, so that changing one value keeps every other line, comment and the
// order as they were. Section and key names compare ignoring ASCII case. Lines before the first
// section, comment lines (starting with ';') and lines without '=' are kept but never match a key.
// Any bytes parse: CRLF or LF line ends, no final line end, very long lines, binary junk. Names asked
// for are trimmed of blanks like the names in the file.
#pragma once

#include <string>
#include <vector>

class IniDocument {
  public:
    IniDocument() = default;
    // Parses the whole text of a file.
    explicit IniDocument(const std::string& text);

    // The value of key in section (the first one when repeated), spaces around it removed.
    bool Find(const std::string& section, const std::string& key, std::string& value) const;
    // The names of all sections, in file order, each once.
    std::vector<std::string> SectionNames() const;
    // The names of the keys of section, in file order, each once (empty when there is no section).
    std::vector<std::string> KeyNames(const std::string& section) const;

    // Sets key in section to value, adding the key (after the section's last line) or the section (at
    // the end) when missing. Line breaks in value become spaces so no value can add lines of its own.
    void Set(const std::string& section, const std::string& key, const std::string& value);
    // Removes every line of key in section; true when something was removed.
    bool DeleteKey(const std::string& section, const std::string& key);
    // Removes every block of section (its header and lines up to the next section); true when found.
    bool DeleteSection(const std::string& section);

    // The text to store, lines joined with the file's own line end (CRLF for a new file), ending with one.
    std::string Text() const;

  private:
    enum class Kind { Other, Section, Key };
    struct Line {
        std::string text; // as in the file, without its line end
        Kind kind = Kind::Other;
        std::string name;  // section or key name, trimmed
        std::string value; // key value, trimmed
    };

    static Line ParseLine(const std::string& text);
    static Line MakeKeyLine(const std::string& key, const std::string& value);
    // True when line i lies in a section named section (i itself not a header).
    std::vector<bool> MembershipOf(const std::string& section) const;

    std::vector<Line> lines_;
    std::string lineEnd_ = "\r\n";
};
