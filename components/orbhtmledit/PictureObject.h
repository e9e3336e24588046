#pragma once
// Pictures inside the RichEdit control: OLE objects inserted through
// IRichEditOle::InsertObject (RTF pictures do not draw under Wine).
//
// Each object answers IDataObject::GetData with CF_BITMAP (how Wine draws
// it) and IViewObject::Draw (how Windows draws it). The bitmap is shared by
// every object of the same picture file and handed out with a
// pUnkForRelease, so the control does not delete it. Asked for
// CF_ENHMETAFILE (what Wine's RTF stream-out asks), an object gives a small
// metafile whose comment names its record index: one stream-out of the
// document then tells where each picture is.
#include <windows.h>
#include <ole2.h>

#include <memory>
#include <string>

namespace PictureObject {

// A picture ready to draw: a 24-bit bitmap of the size it is shown at.
struct Display {
  HBITMAP bitmap = nullptr;
  SIZE size{0, 0};
  Display() = default;
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;
  ~Display();
};

// The picture of a file, shared while any object shows it; pictures larger
// than 640 x 480 are shown scaled down. Null when the file is no picture
// that the framework's image class can decode.
std::shared_ptr<const Display> Load(const std::wstring& path);
// The grey placeholder shown for a picture that may not or cannot be shown.
std::shared_ptr<const Display> Placeholder();
// A picture from a bitmap (a copy; the caller keeps its bitmap).
std::shared_ptr<const Display> FromBitmap(HBITMAP bitmap);

// A new object (reference count 1) showing picture; index is the record
// index the control keeps for it.
IOleObject* Create(std::shared_ptr<const Display> picture, DWORD index);

// The record index inside metafile bits written by such an object, or -1.
long IndexFromMetafile(const std::string& bits);

}  // namespace PictureObject
