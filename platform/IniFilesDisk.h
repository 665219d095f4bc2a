// The disk side of TIniFile: reading a whole file within the size limit, and replacing a file
// at once (a temporary file beside it, synced, then renamed over it).
#pragma once

#include <cstddef>
#include <string>

// Files larger than this are not taken for INI files: far beyond any project (100,000
// dependencies are about 85 MB), and it bounds the memory an opened file takes.
inline constexpr std::size_t MaxIniFileSize = std::size_t(256) << 20;

// Reads the whole file. False when it exists but cannot be read (also a folder, a pipe or a file
// over the limit); Exists tells whether it does.
bool ReadWholeFile(const std::string& Path, std::string& Content, bool& Exists);

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& Path);

// Whether Target can be replaced: an existing target is a regular file with a write bit that we
// may write, and its folder exists and is writable.
bool CanReplaceFile(const std::string& Target);

// Writes Content into a temporary file beside Target and renames it over Target, keeping an old
// file's permissions; false (with Target as it was) when any step fails.
//
// The temporary is made unnamed (O_TMPFILE), so that the kernel discards it when the process
// dies before it is complete; once written and synced it is linked under a fresh name
// (".<name>.<pid>.<n>.tmp" in Target's folder) and at once renamed over Target. Where the file
// system has no unnamed files, it is created under that name. Either way the temporaries of
// Target that processes no longer running left behind are removed first.
bool ReplaceFile(const std::string& Target, const std::string& Content);

// Test seams, left alone by the program. ReplaceFileStep, when set, is called at each step of
// ReplaceFile with the temporary's name ("" while it has none): "created" (open, still empty),
// "written" (written and synced), "named" (under its name, about to replace Target); it may
// block, so that a test can kill the process there. ReplaceFileNamedOnly makes ReplaceFile
// create named temporaries, as on a file system without unnamed files.
inline void (*ReplaceFileStep)(const char* Step, const std::string& Temporary) = nullptr;
inline bool ReplaceFileNamedOnly = false;

// CanReplaceFile, then ReplaceFile: a file written at once or not at all. A failure raises
// EFCreateError "Cannot create file \"%s\"" (platform/SysUtils.h) and leaves Target as it was.
void WriteFileAtOnce(const std::string& Target, const std::string& Content);
