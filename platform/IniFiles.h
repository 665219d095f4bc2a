// INI files: sections of keys with values, read and written by name.
#pragma once

#include "platform/Classes.h"
#include "platform/SysUtils.h"

#include <memory>
#include <vector>

// Access to one INI file for one operation.
//
// The file is read when the object is created and kept in memory; writes change the memory
// copy, and the whole file is written once, atomically (a temporary file in the same folder,
// then renamed over the old one), by UpdateFile() or by the destructor when changes are
// pending. The result is what writing key by key would give: a value is replaced where it
// stands, a new key goes to the end of its section, a new section to the end of the file, and
// every other line stays as it was. Section and key names are compared without regard to case.
//
// The file holds Windows-1252 text; the strings of this interface are UTF-8 and are converted
// at the boundary. Written lines end in CRLF; CRLF and LF are read. Values are read without
// surrounding blanks and without one pair of enclosing quotes ("..." or '...'); a value that
// needs them to survive (leading or trailing blanks, enclosing quotes of its own) is written
// inside double quotes, so every text reads back as it was written. Line breaks and NUL
// characters cannot be stored in a line and are written as blanks.
//
// A missing file, section or key gives the fallback value. A file that cannot be read, one
// larger than 256 MB, or one holding binary data (NUL bytes), reads as empty. A UTF-8
// byte-order mark at the start is skipped on reading and written back. Names read from the file
// lose surrounding blanks and carriage returns, and a carriage return inside one matches a
// blank, as the names passed in are treated; so a look-up finds every name a listing gives.
// Opening takes time and memory in proportion to the file whatever its names: the lines of a
// section are parsed when the section is first used.
//
// A name that could not be read back as written raises EIniFileException on writing: a section
// name holding "]", a key name holding "=" or beginning with ";" or "[" (after the blanks).
//
// A file that cannot be written (read-only, in a missing or read-only folder, not a regular
// file) makes the first Write call raise EIniFileException "Unable to write to <FileName>";
// UpdateFile raises the same when the write itself fails. Either way the file on disk stays
// as it was. The destructor writes pending changes and swallows errors: callers that need to
// know call UpdateFile(). When the object is destroyed by an exception that ends the operation
// (a failed write, a fault while computing the values), the pending changes are dropped, so the
// file never holds a half-done operation.
class TIniFile : public TObject {
public:
    explicit TIniFile(const UnicodeString& FileName);
    ~TIniFile() override;

    // The file name as given.
    const UnicodeString& GetFileName() const;
    // True when the file exists but could not be read (no permission, not a regular file, over
    // the size limit): it reads as empty and is never overwritten.
    bool GetUnreadable() const;

    bool SectionExists(const UnicodeString& Section) const;
    bool ValueExists(const UnicodeString& Section, const UnicodeString& Ident) const;

    UnicodeString ReadString(const UnicodeString& Section, const UnicodeString& Ident,
                             const UnicodeString& Default) const;
    void WriteString(const UnicodeString& Section, const UnicodeString& Ident, const UnicodeString& Value);

    // A value that is not an integer (decimal, or hexadecimal after "$" or "0x") gives Default.
    int ReadInteger(const UnicodeString& Section, const UnicodeString& Ident, int Default) const;
    void WriteInteger(const UnicodeString& Section, const UnicodeString& Ident, int Value);

    // Read as an integer: any non-zero integer is true. Written as "1" or "0".
    bool ReadBool(const UnicodeString& Section, const UnicodeString& Ident, bool Default) const;
    void WriteBool(const UnicodeString& Section, const UnicodeString& Ident, bool Value);

    // Written with FloatToStr under the program-wide settings; read with the decimal separator in
    // force at the time. An empty value, one that is not a number, or one beyond 1.7e308 in
    // magnitude gives Default. Writing a NaN raises EInvalidOp, an infinity EOverflow: neither
    // could be read back.
    double ReadFloat(const UnicodeString& Section, const UnicodeString& Ident, double Default) const;
    // The same with the decimal separator of the given settings, leaving the program-wide ones alone.
    double ReadFloat(const UnicodeString& Section, const UnicodeString& Ident, double Default,
                     const TFormatSettings& Settings) const;
    void WriteFloat(const UnicodeString& Section, const UnicodeString& Ident, double Value);

    // The key names of a section, in file order.
    void ReadSection(const UnicodeString& Section, std::vector<UnicodeString>& Idents) const;
    // The section names, in file order.
    void ReadSections(std::vector<UnicodeString>& Sections) const;
    // The "key=value" lines of a section, values as ReadString gives them.
    void ReadSectionValues(const UnicodeString& Section, std::vector<UnicodeString>& Lines) const;

    // The same into a string list, replacing what it held.
    void ReadSection(const UnicodeString& Section, TStrings* Strings) const;
    void ReadSections(TStrings* Strings) const;
    void ReadSectionValues(const UnicodeString& Section, TStrings* Strings) const;

    // Removes the section with all its lines, or the key's line.
    void EraseSection(const UnicodeString& Section);
    void DeleteKey(const UnicodeString& Section, const UnicodeString& Ident);

    // Writes pending changes to the file now.
    void UpdateFile();

private:
    struct TData;
    std::unique_ptr<TData> F;
};
