#pragma once
// Shared pieces of the chat module's tests: OrbChat.dll's resources for the
// module code linked into the test, a throw-away folder, a local chat
// database filled row by row through the database component, a server
// session object that records what is pushed, and a parent frame window.
#include <windows.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "COrbHttp_Protocol_Orb.h"
#include "CString.h"
#include "CWnd.h"
#include "InfoLoginInfoStruct.h"
#include "OrbVariant.h"

// A fresh folder under the temporary folder (with a Chinese name, so paths
// in code page 936 are exercised), removed with everything in it.
class CTestFolder {
 public:
  CTestFolder();
  ~CTestFolder();
  CTestFolder(const CTestFolder&) = delete;
  CTestFolder& operator=(const CTestFolder&) = delete;
  // The folder with its trailing backslash.
  const CString& Path() const { return m_strPath; }
  CString File(const char* name) const { return m_strPath + name; }
  // Writes bytes to a file of the folder; false when that fails.
  bool Write(const char* name, const char* bytes) const;

 private:
  CString m_strPath;
};

// One value of a row to insert; a column left out stays NULL.
struct DbCell {
  const char* column;
  COrbVariant value;
};

// A local chat database made by the profile code's function, in its own
// folder.
class CTestChatDb {
 public:
  CTestChatDb();
  const CString& Path() const { return m_strPath; }
  const CTestFolder& Folder() const { return m_folder; }
  // Appends one row through the database component; false when it fails.
  bool Insert(const char* table, std::initializer_list<DbCell> cells) const;

 private:
  CTestFolder m_folder;
  CString m_strPath;
};

// A server session object with a chosen login record, role codes and user
// id, which records every push instead of sending it.
class CTestSession : public COrbHttp_Protocol_Orb {
 public:
  struct Pushed {
    CString pool;
    CString body;
  };
  // Logged in with the data file path (null: no login record).
  explicit CTestSession(const char* dataFilePath = nullptr);

  unsigned Push(const CString& pool, const CString& body) override;
  CString GetUserID() const override { return m_strUserId; }
  CString GetMyRole() const override { return m_strRole; }
  CString GetRoleCodes() const override { return m_strRoleCodes; }
  InfoLoginInfoStruct* GetLoginInfo() override { return m_bLoggedIn ? &m_login : nullptr; }

  std::vector<Pushed> m_arrPushed;
  CString m_strUserId = "1001";
  CString m_strRole = "c";
  CString m_strRoleCodes = " cs ";
  InfoLoginInfoStruct m_login;
  bool m_bLoggedIn = false;
};

// A visible top-level window of the framework's own class to host panels
// and trees.
class CTestFrame : public CWnd {
 public:
  explicit CTestFrame(int width = 420, int height = 620);
  ~CTestFrame() override;
};

// Counts the windows of this thread that carry the given caption (the chat
// manager's hidden window, for example).
int CountThreadWindows(const char* caption);
