#pragma once
// The folder of one user's files: the local chat database, the settings file
// and the message store, each named after the user id.
#include <string>

#include "CString.h"
#include "InfoLoginInfoStruct.h"

class ProfileFolder {
 public:
  ProfileFolder(const CString& folder, const CString& userId);

  // Checks and tidies the host's part of a login record: the user id must be
  // usable as a file name (letters, digits, "_", "-", ".", "@"; at most 64;
  // not starting with "."; not a device name), the role code one letter, the
  // known role codes letters (the own role code when empty). False with a
  // message (code page 936) otherwise.
  static bool CheckLogin(InfoLoginInfoStruct& login, CString& error);

  // Creates the folder and any missing parent folders.
  bool Create(CString& error) const;
  // <folder>\<user id><extension>
  CString FilePath(const char* extension) const;
  // Creates an empty file unless one is there; false when that fails or the
  // path is a folder.
  static bool CreateEmptyFile(const CString& path);

 private:
  std::wstring m_strFolder;  // without a trailing separator
  std::wstring m_strUserId;
};
