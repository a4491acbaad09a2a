// Files and folders: existence tests, folder creation, renaming, whole-file reads and atomic
// replacement, and where the program and the temporary folder are.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/rtl/DateTime.h"

namespace plat {

class TStream;

// True for regular files (and links to them); false for folders and missing names.
bool FileExists(const std::string& fileName);
bool DirectoryExists(const std::string& dir);
// Creates every missing level of dir; false when dir is empty or a level cannot be created.
bool ForceDirectories(const std::string& dir);
bool CreateDir(const std::string& dir);
// Removes an empty folder.
bool RemoveDir(const std::string& dir);
// Removes a file; false for folders and missing files.
bool DeleteFile(const std::string& fileName);
// Renames or moves a file; an existing file of the new name is replaced.
bool RenameFile(const std::string& oldName, const std::string& newName);
// Modification time of a regular file in local time, or -1.
TDateTime FileAge(const std::string& fileName);
// Size of a regular file in bytes, or -1.
int64_t FileSize(const std::string& fileName);

std::string GetCurrentDir();
// An absolute path with "." and ".." resolved by name (links are not followed); empty stays empty.
std::string ExpandFileName(const std::string& fileName);
// Names (without folder) of the regular files in folder matching pattern, sorted by name. The pattern
// knows '*' (any run) and '?' (one character) and ignores ASCII case; a final ".*" also takes names
// without an extension, so "*.*" lists every file, as the system's file dialogs and lookups expect.
std::vector<std::string> FindFiles(const std::string& folder, const std::string& pattern);
// True when wildcard pattern matches name (same rules as FindFiles).
bool MatchesMask(const std::string& name, const std::string& pattern);

// The program file as the system sees it (/proc/self/exe).
std::string ApplicationExeName();
// index 0 is the program file; 1.. are the command-line arguments; "" beyond them.
std::string ParamStr(int index);
int ParamCount();
// The program's folder with a trailing '/'.
std::string ApplicationFolder();
// $TMPDIR when set, otherwise /tmp; with a trailing '/'.
std::string GetTempFolder();
// True when a file can be created in folder right now (tried, not guessed from permissions).
bool IsFolderWritable(const std::string& folder);

// The system's text for an errno value.
std::string SysErrorMessage(int errorCode);

// The whole file. Raises EFOpenError "Cannot open file \"%s\". %s" or EReadError.
std::vector<uint8_t> ReadAllBytes(const std::string& fileName);
std::string ReadAllText(const std::string& fileName);

// Replaces fileName with data: a temporary file of a unique name in the same folder is written, flushed
// to disk and renamed over the old file, and the folder is flushed, so the old content stays whole when
// anything fails; the temporary file is removed then. Through a symbolic link the file it points to is
// written and the link kept. An existing file keeps its owner and permissions. Raises EFCreateError when
// the existing file may not be replaced (read-only, not writable for us, a folder or not a regular file)
// or the temporary file cannot be created, and EWriteError when writing or renaming fails.
void WriteFileAtomically(const std::string& fileName, const void* data, size_t size);
void WriteFileAtomically(const std::string& fileName, const std::vector<uint8_t>& bytes);
void WriteFileAtomically(const std::string& fileName, const std::string& text);
// The same with the content written by Write into the stream it is given, in one pass from the start
// (the stream cannot seek), without the whole content in memory first. What Write raises, or the
// stream's own EWriteError, leaves the old file as it was.
void WriteFileAtomically(const std::string& fileName, const std::function<void(TStream&)>& Write);

} // namespace plat
