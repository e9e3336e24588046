// The exact request bodies: key order, left-out pairs, raw and encoded values.
#include <gtest/gtest.h>

#include "messaging/MessageBodies.h"

namespace {

using namespace MessageBodies;

TEST(MessageBodies, PersonalMessageWithoutOptionalPairs) {
  EXPECT_STREQ(PersonalMessage("S1234", "", "abc", "mht", ""), "flag=d&thread_id=S1234&body=%61%62%63&body_type=mht");
}

TEST(MessageBodies, PersonalMessageWithEveryPair) {
  EXPECT_STREQ(PersonalMessage("S1234", "Hi", "abc", "mht", "张三"),
               "flag=d&thread_id=S1234&body=%61%62%63&abstract=H%69&body_type=mht&from=%E5%BC%A0%E4%B8%89");
}

TEST(MessageBodies, GroupMessageCarriesTheGroupIdRaw) {
  EXPECT_STREQ(GroupMessage("12", "", "A B", "mht", ""), "flag=d&group_id=12&body=A%20B&body_type=mht");
  EXPECT_STREQ(GroupMessage("12", "x", "1", "mht", "Li"),
               "flag=d&group_id=12&body=1&abstract=%78&body_type=mht&from=L%69");
  // No group id: the pair stays, with an empty value.
  EXPECT_STREQ(GroupMessage("", "", "1", "mht", ""), "flag=d&group_id=&body=1&body_type=mht");
}

TEST(MessageBodies, SessionApplicationWithAndWithoutName) {
  EXPECT_STREQ(SessionApplication("S1-5", "c1001,c1002", ""), "flag=i&thread_id=S1-5&thread_members=c1001,c1002");
  EXPECT_STREQ(SessionApplication("S15", "c1", "Ann"), "flag=i&thread_id=S15&thread_members=c1&from=A%6E%6E");
}

TEST(MessageBodies, IdsFromReceivedMessagesCannotAddPairs) {
  // A thread id or member list chosen by another client is sent on; its "&"
  // and "=" must not become separators of our own body.
  EXPECT_STREQ(PersonalMessage("t&flag=i", "", "1", "mht", ""), "flag=d&thread_id=t%26flag%3Di&body=1&body_type=mht");
  EXPECT_STREQ(SessionApplication("t", "c1&from=x", ""), "flag=i&thread_id=t&thread_members=c1%26from%3Dx");
  EXPECT_STREQ(GroupMessage("1&2", "", "1", "m=h", ""), "flag=d&group_id=1%262&body=1&body_type=m%3Dh");
}

TEST(MessageBodies, RawValuesHoldingEscapesAreSentSoTheyArriveUnchanged) {
  // The server turns %26, %3D and %25 back, so a "%" of a raw value must be
  // escaped too, or "T6%26X" would arrive as "T6&X".
  EXPECT_STREQ(PersonalMessage("T6%26X", "", "1", "mht", ""), "flag=d&thread_id=T6%2526X&body=1&body_type=mht");
  EXPECT_STREQ(SessionApplication("U%3D", "c1,%", ""), "flag=i&thread_id=U%253D&thread_members=c1,%25");
  EXPECT_STREQ(GroupMessage("7", "", "1", "100%", ""), "flag=d&group_id=7&body=1&body_type=100%25");
}

TEST(MessageBodies, EncodedValuesKeepAmpersandAndEquals) {
  // Quoted-printable and HTML entities are full of "=" and "&"; the letters
  // around them are escaped, so no key can appear inside the value.
  EXPECT_STREQ(PersonalMessage("T", "a&b=c", "=3D&nbsp;", "mht", ""),
               "flag=d&thread_id=T&body==3D&%6E%62%73%70;&abstract=%61&%62=%63&body_type=mht");
}

TEST(MessageBodies, GroupInfoRequestIsTheTrimmedId) {
  EXPECT_STREQ(kGroupInfoPool, "GetGroupInfo");
  EXPECT_STREQ(GroupInfoRequest("  12\t"), "12");
  EXPECT_STREQ(GroupInfoRequest(""), "");
}

}  // namespace
