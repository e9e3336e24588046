// Pool names from the host's XML file.
#include <gtest/gtest.h>

#include "HostFiles.h"
#include "Seams.h"
#include "messaging/PoolLookup.h"

namespace {

TEST(PoolLookup, XmlFileSitsBesideTheHostExecutable) {
  Seams::SetHostExePath([] { return CString("C:\\Program Files\\Orb.v2\\host.exe"); });
  EXPECT_STREQ(CPoolLookup::HostXmlPath(), "C:\\Program Files\\Orb.v2\\host.xml");
  Seams::SetHostExePath(nullptr);
}

TEST(PoolLookup, ReadsEachDirectionAndCode) {
  CHostFiles host;
  ASSERT_TRUE(host.WritePoolXml());
  CPoolLookup pools;
  ASSERT_TRUE(pools.Load());
  const struct {
    const char* direction;
    const char* code;
    const char* expected;
  } rows[] = {{"req", "505", "orb.chat.req"}, {"req", "506", "orb.group.req"}, {"ans", "5", "orb.sys.ans"},
              {"ans", "505", "orb.chat.ans"}, {"ans", "506", "orb.group.ans"}, {"req", "5", ""},
              {"ans", "507", ""}};
  for (const auto& row : rows) {
    EXPECT_STREQ(pools.Get(row.direction, row.code), row.expected) << row.direction << " " << row.code;
  }
  EXPECT_STREQ(CPoolLookup::LookupHostPool("req", "505"), "orb.chat.req");
}

TEST(PoolLookup, MissingOrBrokenFileGivesNoPools) {
  CHostFiles host;
  CPoolLookup missing;
  EXPECT_FALSE(missing.Load());
  EXPECT_STREQ(missing.Get("req", "505"), "");
  ASSERT_TRUE(CHostFiles::Write(host.XmlPath(), "<message><msgpool msgtype=\"505\" req=\"x\""));
  CPoolLookup broken;
  EXPECT_TRUE(broken.Load());
  EXPECT_STREQ(broken.Get("req", "505"), "");
}

}  // namespace
