// The name of a program as the executive and the control panel both use
// it: its version resource's file description made into a key name, or
// the file-name part of its path when it has none.
#pragma once
#include <windows.h>

#include <cstddef>

enum class QvnDescriptionStatus {
  kFound,          // description read
  kNoVersionInfo,  // GetFileVersionInfoW failed (error set)
  kNoTranslation,  // no "\VarFileInfo\Translation" list (error set)
  kNoDescription,  // no listed language has a description of 2+ characters
};

// The first "\StringFileInfo\<language><code page>\FileDescription" of the
// version resource (at most 4000 bytes read) that is longer than one
// character, taken through qvn::ProgramKeyNameMake into name[room].
// error receives GetLastError() of the failed step.
QvnDescriptionStatus QvnProgramDescriptionGet(const wchar_t* path, wchar_t* name, size_t room, DWORD* error);

// The description, else the file-name part of path. Returns the status of
// the description read so that callers can log it.
QvnDescriptionStatus QvnProgramNameGet(const wchar_t* path, wchar_t* name, size_t room, DWORD* error);
