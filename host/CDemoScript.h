#pragma once
// The scripted run of the demo: it uses the chat panel as a user would
// (opens the tag nodes, clicks each tab), checks what each tab shows (its
// button checked, its tree alone visible, filled, every node with an icon)
// and saves a picture of the frame for each tab. One step per call, so the
// frame can let the windows paint between steps.
#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "CDemoEditScript.h"
#include "CDemoRun.h"

#include "CString.h"

class CDemoRemoteUser;

class CDemoScript : public CDemoRun {
 public:
  // panel: the chat module's panel window inside frame; dbPath: the logged-in
  // user's chat database (empty: the tree is not edited); remote: a person
  // on another machine who writes first (null: no conversation steps).
  CDemoScript(HWND frame, HWND panel, const CString& shotsDir, const CString& dbPath = CString(),
              CDemoRemoteUser* remote = nullptr);
  ~CDemoScript();

  // Runs the next step; true once the sequence is complete.
  bool Step();
  bool IsDone() const override { return m_nStep >= kSteps && PhasesDone(); }
  const std::vector<CString>& Shots() const { return m_arrShots; }

  // The panel's tab buttons and trees, by tab (0 chat objects, 1 discussion
  // groups, 2 communities).
  static int TabId(int tab);
  static int TreeId(int tab);

 private:
  static constexpr int kSteps = 5;  // the last one runs the edits one by one
  void AddConversationPhases();
  void AddFormattingPhases();
  void AddClipboardPicturePhases();
  Phase SendPicturePhase(const CString& what, std::function<void()> act, const char* shot);
  Phase AnsweredPhase(const CString& what, const CString& text, int pictures, const CString& note, const char* shot);
  // The discussion group tree and the history viewer (CDemoScriptGroups.cpp).
  void AddGroupAndHistoryPhases();
  // A conversation window of this thread by its caption, or null.
  static HWND FindConversation(const char* caption);
  // The plain text of a conversation window's view.
  static CString ViewText(HWND form);
  void CheckView(HWND form, const char* expected, const char* shot);
  void OpenAllNodes();
  void ClickTab(int tab);
  void CheckTab(int tab);
  // Pictures window (the frame when null) as it shows on the screen.
  void SaveShot(const char* name, HWND window = nullptr);

  HWND m_hFrame;
  HWND m_hPanel;
  CString m_strShotsDir;  // with a trailing backslash
  CString m_strDBPath;
  std::unique_ptr<CDemoEditScript> m_pEdits;
  int m_nStep = 0;
  CDemoRemoteUser* m_pRemote;
  std::vector<CString> m_arrShots;
};
