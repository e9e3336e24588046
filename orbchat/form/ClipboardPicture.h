#pragma once
// Pictures that enter the editor from the clipboard or from a file: the
// clipboard's bitmap written to a JPEG file of its own in the temporary
// folder, the check that a chosen file is a picture, and the img tag that
// refers to a file by its full path.
#include <windows.h>

#include "CString.h"

// The largest clipboard picture taken, in pixels. A screen of three 4K
// monitors is about 25 million; a bitmap beyond this would take gigabytes to
// encode and give a message far over the sending limit.
constexpr long long kMaxClipboardPixels = 64LL * 1024 * 1024;

enum class ClipboardPicture {
  Saved,      // the picture is in the file of path
  NoPicture,  // no bitmap, or the clipboard is held by another window
  BadSize,    // a bitmap of no pixels or of more than kMaxClipboardPixels
  NotSaved,   // the folder cannot be written or the encoding failed
};

// Opens the clipboard for owner and writes its bitmap as JPEG to a new file
// "<folder><number>.jpg" (folder ends with a backslash), the number being the
// tick count, or the next free one when a file of that name exists, so an
// earlier picture is never replaced. The clipboard keeps its bitmap. Nothing
// is left behind when the result is not Saved.
ClipboardPicture SaveClipboardPicture(HWND owner, const CString& folder, DWORD tick, CString& path);

// Creates the empty file "<folder><number>.jpg" for the first number from tick
// on whose file does not exist yet and returns its path; "" when the folder
// cannot be written.
CString ReserveNumberedPicture(const CString& folder, DWORD tick);

// Whether the file decodes as a picture the editor can show.
bool IsDecodablePicture(const char* path);

// <img src="path">, the path as it is.
CString PictureTag(const CString& path);
