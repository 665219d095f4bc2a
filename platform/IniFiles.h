// INI files: sections of keys with values, read and written by name.
#pragma once

#include "platform/Classes.h"
#include "platform/SysUtils.h"

#include <memory>
#include <vector>

// How a file holds its texts: Windows-1252 bytes, or UTF-8.
enum TIniEncoding { ieAnsi, ieUtf8 };

// Access to one INI file for one operation.
//
// The file is read when the object is created and kept in memory; writes change the memory
// copy, and the whole file is written once, atomically (see ReplaceFile in IniFilesDisk.h), by
// UpdateFile() or by the destructor when changes are pending. The result is what writing key by
// key would give: a value is replaced where it stands, a new key goes to the end of its
// section, a new section to the end of the file, and every other line stays as it was. Section
// and key names are compared without regard to case.
//
// Lines. CR LF, LF, CR, and CR CR LF (one line end, not a blank line) each end a line, so a CR
// before a key or a header ends a blank line before it; written lines end in CR LF. Every other
// byte, NUL included, is an ordinary byte of its line. Values are read without surrounding
// blanks and without one pair of enclosing quotes ("..." or '...'); a value that needs them to
// survive (leading or trailing blanks, enclosing quotes of its own) is written inside double
// quotes. Line breaks cannot be stored in a line and are written as blanks; a NUL is written as
// it is and reads back as written (a program that takes the file for C text sees the value end
// there). So every text without line breaks reads back as it was written.
//
// Encodings. The strings of this interface are UTF-8; each file keeps its own encoding
// (GetEncoding), and texts are converted at the boundary:
//   - ieUtf8: a file that starts with UTF-8 byte-order marks, one or more (written back as one;
//     a byte of malformed UTF-8 in it reads as its Windows-1252 character and is written back
//     as that character in UTF-8), a UTF-16 file with its byte-order mark, little- or
//     big-endian (decoded, an unpaired surrogate read as U+FFFD, and written back as UTF-8
//     without a mark), and a file without a mark that is well-formed UTF-8 holding a character
//     beyond ASCII (as text editors save).
//   - ieAnsi: every other file, and a missing, empty or unreadable one. Its texts are
//     Windows-1252 bytes, and a file whose texts all have a Windows-1252 form is written byte for
//     byte as key-by-key writing would write it in that code page.
// A text written into an ieAnsi file (value, section or key name) with a character that
// Windows-1252 lacks turns the file into ieUtf8 for good: every line is converted (nothing is
// lost) and the file is written as UTF-8, without a byte-order mark. So is an ieAnsi file whose
// bytes, when written, would be read as UTF-8 (Windows-1252 texts such as "Ã©" and nothing else
// beyond ASCII), so that they read back as they were written. A malformed UTF-8 byte in a text
// of the interface is taken as its Windows-1252 character. Looking up a name that an ieAnsi
// file cannot hold finds nothing. Names in an ieUtf8 file are compared without regard to the
// case of the letters that Windows-1252 names fold (ASCII, the accented Latin letters of
// U+00C0 to U+00DE, Š, Œ, Ž, Ÿ), so that the names equal in a file stay equal when it turns
// into UTF-8, and names that differ in anything else never compare equal.
//
// A missing file, section or key gives the fallback value. A file that cannot be read, or one
// larger than 256 MB, reads as empty. Names read from the file lose surrounding blanks; line
// breaks in the names passed in are made blanks, so a look-up finds every name a listing gives.
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
    // The encoding the file is read in and written in (see above); it turns from ieAnsi into
    // ieUtf8 by a write of a text beyond Windows-1252, or by UpdateFile.
    TIniEncoding GetEncoding() const;

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
