#pragma once
// Which picture sources the control shows, and the folder where it writes
// pictures. The rule (README.md, "Which pictures are shown"):
//
//  1. The source must be a plain absolute local path "X:\..." (or with "/"):
//     no URL scheme of any kind (file:, http:, javascript:, data:, cid:...),
//     no UNC or device path (\\host\share, \\?\, \\.\), no "." or ".."
//     component, no characters Windows does not allow in names, at most
//     MAX_PATH characters, and the system's full-path form of it must be the
//     path itself. This is decided on the text alone, before any file access,
//     so a refused source never reaches the network.
//  2. It must name an existing regular file (not a folder, not a reparse
//     point) with a picture extension (.gif .png .jpg .jpeg .jpe .bmp .tif
//     .tiff) of at most 16 MiB.
//  3. A view (edit mode 0) shows it only inside the temporary folder (which
//     holds this component's folder and the conversation window's clipboard
//     pictures), the emoticon folder "Images\Face\" beside the host program,
//     or when it is a file the local user put into an editor of this process.
//     An editor (edit mode 1) shows any file that passes 1 and 2: what reaches
//     it is the local user's own choice.
//  4. It must decode as a picture; anything else shows a placeholder.
#include <windows.h>

#include <string>

namespace PictureSources {

enum class Trust { View, Editor };

// The local path of a source by rule 1, or empty when it is refused.
std::wstring LocalPath(const std::wstring& source);
// Rules 2 and 3 for a path that passed rule 1.
bool MayShow(const std::wstring& path, Trust trust);
// Remembers a file the local user put into an editor (rule 3).
void RegisterUserPicture(const std::wstring& path);

// "<temp>\" as the system gives it, with a final backslash.
std::wstring TempFolder();
// "<temp>\OrbHtmlEdit\<process id>\": created on first use; removed with
// everything in it when the process unloads the component. Folders of
// processes that no longer run are removed on first use.
std::wstring ProcessFolder();
// Writes bytes into the process folder under a name made here from their
// content and extension; the same content gives the same file. Empty on
// failure.
std::wstring StorePicture(const std::string& bytes, const std::wstring& extension);
// Reads a whole file (at most maxBytes); false when it cannot.
bool ReadFile(const std::wstring& path, std::string& bytes, std::size_t maxBytes);

}  // namespace PictureSources
