// The project file: the whole list of dependencies as one INI file.
//
// Section General holds DecSep (the character code of the decimal separator every real of the
// file is written with) and Count; sections Dependency0 ... Dependency<Count-1> hold one
// dependency each, with its four texts and every stored field of its parameters under the
// field's own name, in stored units. Derived fields, series and colours are never stored.
//
// A dependency with measurements has one more section, Measured<i> beside Dependency<i>: Count
// rows, for row j c<j> (mM) and per analyte a = 1, 2 t<a>_<j> with tEOF<j> (min) or u<a>_<j>
// (m^2/(V s)), an absent key being "not measured"; then ViscositySlope (1/mM), Fix<a>_u0,
// Fix<a>_uCS, Fix<a>_K, SharedU0 and Weighted (1 or 0, the fit's options). A project without
// measurements has no such section, so its file is the same as before measurements existed.
//
// A dependency with uncertainties has likewise an Uncertainty<i> section: the standard
// uncertainties in stored units under the parameters' keys (u01, u1, K1, u02, u2, K2; only those
// set), the correlations that are not 0 as r_<key>_<key> (the first key earlier in that order),
// and FromFit (1 or 0). Without uncertainties there is no such section.
#pragma once

#include "model/Record.h"
#include "platform/SysUtils.h"

#include <vector>

// A project file that cannot be loaded: a dependency count out of range or a decimal separator
// with which no real could be read.
CORVANE_EXCEPTION_CLASS(EProjectFileError, Exception);

// The most dependencies a project file may hold (about 85 MB of file).
inline constexpr int MaxProjectDependencies = 100000;

// The list of a project as read from a file: records with derived fields and no series
// (SeriesSet default), the decimal separator the file's reals are written with, and what the
// reading had to guess.
struct ProjectContents {
    std::vector<DependencyRecord> Records;
    WideChar DecimalSeparator = L'.';
    // One line for each thing taken from the defaults or cut, in file order: a missing section
    // ("Dependency 4: no section [Dependency3]; ..."), the keys missing from a section, a value
    // that cannot be read as its kind, with the value used instead, and a text longer than its
    // field shows. Empty for a complete file.
    std::vector<UnicodeString> Guesses;
};

// Writes Records to FileName: General/DecSep (the program-wide decimal separator), General/Count,
// then Dependency0 ... with their 44 keys in order; texts as their Windows-1252 bytes, reals
// through FloatToStr under the program-wide settings, points as an integer, applypH as 1 or 0.
// Every other section and key of an existing file stays, so the surplus sections of an older,
// longer project remain. A text that Windows-1252 cannot hold makes the whole file UTF-8, marked
// by General/Encoding=UTF-8 (a file in Windows-1252 carries no mark). The file changes in one
// atomic write: on failure the INI writer's EIniFileException "Unable to write to <FileName>" is
// raised and the old file stays byte for byte (a NaN or an infinity in a record raises its
// floating-point fault, and more than MaxProjectDependencies records raise EProjectFileError,
// with the same result).
void WriteProjectFile(const UnicodeString& FileName, const std::vector<DependencyRecord>& Records);

// Reads the whole project and changes no program state; the reals are read with the file's own
// separator. Each record starts as the default record; every key falls back to the field's value
// there; then PhysParams::Derive() completes it (the pH model is not applied: u01 ... K2 stay as
// stored). Everything taken from a default is listed in Guesses.
//
// Refuses the file, raising EProjectFileError whose message is the text for the error box, when
// nothing is at FileName, when it exists but cannot be read (no permission, a folder, over the
// size limit), when it has no General section holding Count (an empty file, a text or a picture:
// "... is not a Corvane project"), when Count is not a whole number from 0 to
// MaxProjectDependencies, when DecSep is no printable ASCII character, or a digit, a sign or the
// letter E, and when a dependency cannot be computed: its derivation or its sweep would fault
// (for any graph choice). That message names the dependency and, where known, the key:
// "Dependency 3 (K2=500): Capillary: Floating point division by zero".
ProjectContents ReadProjectFile(const UnicodeString& FileName);

// The most guesses a load report lists; the rest are counted.
inline constexpr size_t LoadReportLines = 20;

// The text of the information box after a load that had to guess, or an empty text: a line
// naming the file, the guesses (at most LoadReportLines, then "... and N more."), and, when
// SeparatorBefore is not the file's separator, a line saying that the numeric fields now take the
// file's separator.
UnicodeString LoadReport(const UnicodeString& FileName, const ProjectContents& Contents, WideChar SeparatorBefore);

// "Dependency <Index + 1> (<name>)", the name cut to 60 characters: how messages name a
// dependency.
UnicodeString DependencyTitle(size_t Index, const AnsiString& Name);

// Raises EProjectFileError "Cannot load %s: the file does not exist." when nothing is at
// FileName. The open dialog offers existing files only; a name from a command line that names
// none is an error too, not an empty project.
void RequireProjectFile(const UnicodeString& FileName);

// Whether two records hold the same values in every key a project file stores (names and the
// stored parameters; the derived fields and the series are not looked at).
bool SameStoredData(const DependencyRecord& A, const DependencyRecord& B);
