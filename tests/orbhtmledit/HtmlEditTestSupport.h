#pragma once
// The HTML editor control's tests: a top-level window holding a view and an
// editor, test pictures written on demand, and small helpers.
#include <windows.h>

#include <memory>
#include <string>

#include "CHtmlEdit.h"
#include "CString.h"
#include "CWnd.h"

namespace HtmlEditTest {

// A shown top-level window of 640 x 480 with a view (edit mode 0) on the left
// and an editor (edit mode 1) on the right, both set up the way the
// conversation window does it.
class Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  CWnd& Frame() { return m_frame; }
  CHtmlEdit& View() { return m_view; }
  CHtmlEdit& Editor() { return m_editor; }

 private:
  CWnd m_frame;
  CHtmlEdit m_view;
  CHtmlEdit m_editor;
};

// A folder under the temporary folder with a Chinese name, removed with its
// files at the end of the test.
class Folder {
 public:
  Folder();
  ~Folder();
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;
  // Path in code page 936, ending with a backslash.
  const CString& Path() const { return m_path; }
  CString File(const char* name) const { return m_path + name; }

 private:
  CString m_path;
};

// Writes a width x height picture of one colour (with a different top-left
// pixel) in the format of the path's extension (a GIF is always one pixel);
// true when it was written.
bool WritePicture(const CString& path, int width, int height, COLORREF colour);
// A file's bytes (empty when it cannot be read).
std::string ReadBytes(const CString& path);
void WriteBytes(const CString& path, const std::string& bytes);
bool Exists(const CString& path);
// The colour of a pixel of a window's client area, read from the screen.
COLORREF ClientPixel(HWND wnd, int x, int y);

}  // namespace HtmlEditTest
