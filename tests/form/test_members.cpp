// The members pane: which entries a members text gives (role icons, display
// names, masked ids) and the filled owner-drawn list of a real form.
#include <gtest/gtest.h>

#include "FormTestSupport.h"
#include "OrbSkin.h"
#include "chat/COrbChat_Mgr.h"
#include "form/COrbChat_Form.h"
#include "form/COrbChat_Form_InfoWin.h"
#include "form/MemberEntries.h"

namespace {

CString KnownNames(const CString& id) { return id == "c1001" ? CString("张三") : CString(); }

TEST(MemberEntries, EmptyPartsAddNothingAndUnknownRolesTakeTheDefault) {
  const struct {
    const char* list;
    std::vector<std::pair<const char*, const char*>> entries;  // name, icon
  } rows[] = {
      {"c1001,s200200", {{"张三", "tree2.role.c"}, {"s2***00", "tree2.role.s"}}},
      {"c1001,,s200200,", {{"张三", "tree2.role.c"}, {"s2***00", "tree2.role.s"}}},
      {" x123456 , ,", {{"x1***56", "tree2.role.c"}}},
      {",,", {}},
      {"", {}},
  };
  for (const auto& row : rows) {
    const std::vector<MemberEntry> entries = MemberEntries(row.list, "cs", "c", KnownNames);
    ASSERT_EQ(entries.size(), row.entries.size()) << row.list;
    for (size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].name, row.entries[i].first) << row.list;
      EXPECT_EQ(entries[i].icon, row.entries[i].second) << row.list;
    }
  }
}

CString DrawValue(HWND list, int entry, const char* key) {
  char buffer[64] = {};
  dsGetDrawItemValue(list, entry, 0, key, buffer, sizeof buffer);
  return buffer;
}

TEST(MembersPane, SetMembersRefillsTheListWithNamesAndIcons) {
  CRecordingSession session;
  COrbChat_Mgr manager(&session);
  CFormFixture fixture(&manager);
  COrbChat_Form& form = *fixture.m_pForm;
  form.SetDisplayNameLookup(KnownNames);
  form.SetMembers("c1001,,q987654,");
  CListBox& list = form.GetInfoWin()->GetMembersPane()->GetList();
  ASSERT_EQ(list.GetCount(), 2);
  EXPECT_EQ(DrawValue(list, 0, "itemName"), "张三");
  EXPECT_EQ(DrawValue(list, 0, "ico"), "tree2.role.c");
  EXPECT_EQ(DrawValue(list, 1, "itemName"), "q9***54");
  EXPECT_EQ(DrawValue(list, 1, "ico"), "tree2.role.c");
  EXPECT_EQ(list.GetCurSel(), 0);
  EXPECT_EQ(list.GetItemHeight(0), 24);
  EXPECT_EQ(dsGetSkinKind(list), 0x6C);
  form.SetMembers("s2002");
  ASSERT_EQ(list.GetCount(), 1);
  EXPECT_EQ(DrawValue(list, 0, "ico"), "tree2.role.s");
}

}  // namespace
