#pragma once
// The editing part of the scripted run: it edits the chat object tree as a
// user would, through its menu commands and the dialogs they open (answered
// through the framework's seams, with real dialogs on screen): adds a tag,
// adds a contact from the contact browser under it, moves it, sets a remark,
// renames the tag, deletes the contact and deletes the tag, checking the
// tree after each step and picturing the frame. The tree it finds at the
// start is compared with the one the previous run left (stored beside the
// database), which shows that the edits were saved.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "CString.h"

class CDialog;

class CDemoEditScript {
 public:
  using LogFn = std::function<void(const CString& line, bool failed)>;
  using ShotFn = std::function<void(const char* name)>;
  CDemoEditScript(HWND tree, const CString& dbPath, LogFn log, ShotFn shot);
  ~CDemoEditScript();
  CDemoEditScript(const CDemoEditScript&) = delete;
  CDemoEditScript& operator=(const CDemoEditScript&) = delete;

  // Runs the next edit; true once all are done.
  bool Step();

 private:
  // The tree as text: "tag(child,child) node ...".
  CString Outline() const;
  HTREEITEM FindNode(const char* text) const;
  HTREEITEM Parent(HTREEITEM item) const;
  CString TextOf(HTREEITEM item) const;
  void Command(HTREEITEM select, UINT id);
  void Expect(bool ok, const CString& what);
  INT_PTR AnswerDialog(CDialog& dialog);
  void Act(CDialog& dialog);
  bool EnsureAddressBookContact();
  CString StoredOutlinePath() const;

  HWND m_hTree;
  CString m_strDBPath;
  LogFn m_fnLog;
  ShotFn m_fnShot;
  int m_nStep = 0;
  CString m_strText;  // what the next dialog is given
  std::function<INT_PTR(CDialog&)> m_fnOldDoModal;
};
