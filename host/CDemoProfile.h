#pragma once
// The demo profile: a folder with one local chat database per demo user,
// filled on first use with the people, tags, chat objects, discussion groups
// and communities of a small team. A database that already holds rows is
// the user's own and is never touched.
#include <vector>

#include "CString.h"

struct DemoPerson {
  const char* memberId;  // role code and user id
  const char* role;
  const char* name;
  bool canLogIn;  // one of the users the demo logs in
};

struct DemoCommunity {
  const char* groupId;
  const char* name;
  const char* description;  // null: the column stays NULL
  int tag;                  // 0: the column stays NULL (no category)
  const char* members;
};

class CDemoProfile {
 public:
  explicit CDemoProfile(const CString& folder);

  static const std::vector<DemoPerson>& People();
  static const std::vector<DemoCommunity>& Communities();
  // The person with this user id (without role code), or null.
  static const DemoPerson* FindUser(const char* userId);
  // The known role codes of the demo, a string of letters.
  static const char* RoleCodes() { return "cst"; }

  const CString& Folder() const { return m_strFolder; }
  // <folder>\<user id>.dat, the file the session's login opens.
  CString DatabasePath(const DemoPerson& user) const;

  // Makes the folder and every demo user's database, filling those that are
  // new. False with a message (code page 936) naming the file and what to do.
  bool Prepare(CString& error) const;

  // Fills the database of user when all its tables are empty: 1 filled, 0
  // left as it was, -1 failed (error says why).
  static int Seed(const CString& dbPath, const DemoPerson& user, CString& error);

 private:
  CString m_strFolder;  // without a trailing backslash
};
