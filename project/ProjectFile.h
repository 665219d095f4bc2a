// The project file: the whole list of dependencies as one INI file.
//
// Section General holds DecSep (the character code of the decimal separator every real of the
// file is written with) and Count; sections Dependency0 ... Dependency<Count-1> hold one
// dependency each, with its four texts and every stored field of its parameters under the
// field's own name, in stored units. Derived fields, series and colours are never stored.
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
// (SeriesSet default), and the decimal separator the file's reals are written with.
struct ProjectContents {
    std::vector<DependencyRecord> Records;
    WideChar DecimalSeparator = L'.';
};

// Writes Records to FileName: General/DecSep (the program-wide decimal separator), General/Count,
// then Dependency0 ... with their 44 keys in order; texts as their Windows-1252 bytes, reals
// through FloatToStr under the program-wide settings, points as an integer, applypH as 1 or 0.
// Every other section and key of an existing file stays, so the surplus sections of an older,
// longer project remain. The file changes in one atomic write: on failure the INI writer's
// EIniFileException "Unable to write to <FileName>" is raised and the old file stays byte for
// byte (a NaN or an infinity in a record raises its floating-point fault, and more than
// MaxProjectDependencies records raise EProjectFileError, with the same result).
void WriteProjectFile(const UnicodeString& FileName, const std::vector<DependencyRecord>& Records);

// Reads the whole project and changes no program state; the reals are read with the file's own
// separator. Each record starts as the default record; every key falls back to the field's value
// there; then PhysParams::Derive() completes it (the pH model is not applied: u01 ... K2 stay as
// stored). A missing General section, or an empty or non-INI file, gives no records and the
// program-wide separator.
//
// Refuses the file, raising an exception whose message is the text for the error box, when a
// derivation faults (EZeroDivide, EInvalidOp or EOverflow with the platform's text, e.g. for a
// Capillary of 0), when Count is negative or above MaxProjectDependencies, or when DecSep is
// no printable ASCII character, or a digit, a sign or the letter E, or when the file exists but
// cannot be read (no permission, a folder, over the size limit) (EProjectFileError).
ProjectContents ReadProjectFile(const UnicodeString& FileName);

// Raises EProjectFileError "Cannot load %s: the file does not exist." when nothing is at
// FileName. The open dialog offers existing files only; a name from a command line that names
// none is an error too, not an empty project.
void RequireProjectFile(const UnicodeString& FileName);

// Whether two records hold the same values in every key a project file stores (names and the
// stored parameters; the derived fields and the series are not looked at).
bool SameStoredData(const DependencyRecord& A, const DependencyRecord& B);
