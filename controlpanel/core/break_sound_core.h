// The Break page's rules for alert sounds: which chosen files the page
// accepts, how a chosen path is stored, where a listed sound is found for
// preview, and the MCI command strings of the preview player. Pure C++;
// every text fits a path buffer of 260 characters or is refused.
#pragma once
#include <cstddef>
#include <string>

namespace qvn {

constexpr size_t kSoundPathRoom = 260;
// The alias under which a preview player opens its sound: "voice1" for the
// first player of a process, "voice2" for a second one playing at the same
// time (MCI aliases are the process's own: two Break pages in one process
// would otherwise open, play and close each other's sound).
std::wstring PreviewAlias(unsigned player);  // player 0: "voice1"

// A path beginning with a backslash (a network path) is not supported.
bool SoundPathIsNetwork(const wchar_t* path);

// What the page stores for a browsed path: the file name alone when the
// file lies directly in windowsDir + "\Media" (compared exactly and
// case-sensitively), so that the name finds it there again; otherwise the
// whole path. False when the result does not fit out[room].
bool SoundNameFromBrowsedPath(const wchar_t* path, const wchar_t* windowsDir, wchar_t* out, size_t room);

// The file a list entry names: the entry itself when its second character
// is ':', else windowsDir + "\Media\" + entry. False (out empty) when it
// does not fit out[room] or the entry is empty.
bool SoundPreviewPath(const wchar_t* entry, const wchar_t* windowsDir, wchar_t* out, size_t room);

// "open \"<path>\" type waveaudio alias voice1" (or the alias given). A path
// with a double quotation mark cannot be quoted and gives an empty command.
std::wstring MciOpenCommand(const wchar_t* path, const std::wstring& alias = PreviewAlias(0));

// The answer of "status voice1 length" as milliseconds: its leading
// decimal digits, 0 when there are none; at most 0x7FFFFFFF.
unsigned MciLengthMilliseconds(const wchar_t* answer);

}  // namespace qvn
