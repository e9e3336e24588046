// The server's side of the request bodies: the percent-decoding is the exact
// inverse of the client's encoding, and bodies split into the right pairs even
// when raw values hold the pair separators.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <string>

#include "PercentCodec.h"
#include "RequestParser.h"

namespace {

TEST(PercentCodec, DecodingInvertsEncodingForEveryByte) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  std::string encoded = PercentCodec::Encode(all);
  EXPECT_LE(encoded.size(), all.size() * 3);
  std::string decoded;
  ASSERT_TRUE(PercentCodec::Decode(encoded.data(), encoded.size(), decoded));
  EXPECT_EQ(decoded, all);
  // The escape table: lower-case letters and everything from P up are escaped,
  // A to O, digits and "&", "=", "?", "/" are not.
  EXPECT_EQ(PercentCodec::Encode("abc"), "%61%62%63");
  EXPECT_EQ(PercentCodec::Encode("AB1"), "AB1");
  EXPECT_EQ(PercentCodec::Encode("OP_ Z"), "O%50%5F%20%5A");
  EXPECT_EQ(PercentCodec::Encode("a&b=c?/"), "%61&%62=%63?/");
  EXPECT_EQ(PercentCodec::Encode("*#%<>+\t"), "%2A%23%25%3C%3E%2B%09");
}

TEST(PercentCodec, RefusesTextTheEncoderCannotHaveWritten) {
  struct Row {
    const char* text;
    bool valid;
    const char* bytes;
  };
  const Row rows[] = {
      {"%61%62%63", true, "abc"},
      {"%3D%26", true, "=&"},      // a client that escapes the separators too
      {"%e4%BD%A0", true, "\xE4\xBD\xA0"},
      {"", true, ""},
      {"abc", false, ""},          // lower-case letters are always escaped
      {"A B", false, ""},          // so is the blank
      {"A+B", false, ""},
      {"%", false, ""},
      {"%4", false, ""},
      {"%G1", false, ""},
      {"AB%2", false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    std::string bytes;
    std::string text = row.text;
    EXPECT_EQ(PercentCodec::Decode(text.data(), text.size(), bytes), row.valid);
    EXPECT_EQ(PercentCodec::IsEncodedText(text.data(), text.size()), row.valid);
    if (row.valid) {
      EXPECT_EQ(bytes, row.bytes);
    }
  }
  EXPECT_EQ(PercentCodec::DecodeRaw("a%26b%3Dc%41"), "a&b=c%41");
  // "%25" stands for "%", read in one pass: "%2526" is "%26", not "&".
  EXPECT_EQ(PercentCodec::DecodeRaw("T6%2526X%253D%25"), "T6%26X%3D%");
}

// The value of key, "<absent>" when the request does not carry it.
std::string ValueOf(const RequestParser::Values& values, const char* key) {
  const std::string* value = values.Find(key);
  return value ? *value : std::string("<absent>");
}

const RequestField kPersonal[] = {{"flag", false, false},  {"thread_id", false, false},
                                  {"body", true, false},   {"abstract", true, true},
                                  {"body_type", false, false}, {"from", true, true}};

TEST(RequestParser, SplitsBodiesWhoseRawValuesHoldSeparators) {
  struct Row {
    const char* label;
    std::string body;
    const char* threadId;
    const char* abstract;  // nullptr: absent
    const char* from;      // nullptr: absent
  };
  const std::string body = PercentCodec::Encode("hi & bye=ok");
  const Row rows[] = {
      {"all pairs", "flag=d&thread_id=T1&body=" + body + "&abstract=%61&body_type=mht&from=%62", "T1", "a", "b"},
      {"optional pairs left out", "flag=d&thread_id=T1&body=" + body + "&body_type=mht", "T1", nullptr, nullptr},
      {"only from", "flag=d&thread_id=T1&body=" + body + "&body_type=mht&from=%62", "T1", nullptr, "b"},
      {"thread id with & and =", "flag=d&thread_id=x&y=z&body=" + body + "&body_type=mht", "x&y=z", nullptr,
       nullptr},
      {"thread id that looks like a pair", "flag=d&thread_id=a&body=b&body=" + body + "&body_type=mht", "a&body=b",
       nullptr, nullptr},
      {"escaped separators in a raw value", "flag=d&thread_id=x%26y%3Dz&body=" + body + "&body_type=mht", "x&y=z",
       nullptr, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.label);
    RequestParser::Values values;
    ASSERT_TRUE(RequestParser::Parse(row.body, kPersonal, 6, values)) << row.body;
    EXPECT_EQ(ValueOf(values, "flag"), "d");
    EXPECT_EQ(ValueOf(values, "thread_id"), row.threadId);
    EXPECT_EQ(ValueOf(values, "body"), "hi & bye=ok");
    EXPECT_EQ(ValueOf(values, "body_type"), "mht");
    EXPECT_EQ(ValueOf(values, "abstract"), row.abstract ? row.abstract : "<absent>");
    EXPECT_EQ(ValueOf(values, "from"), row.from ? row.from : "<absent>");
  }
}

TEST(RequestParser, RefusesBodiesThatAreNotThePairsInOrder) {
  const char* const bodies[] = {
      "",
      "flag=d",
      "flag=d&thread_id=T1&body=%61",                            // no body_type
      "flag=d&thread_id=T1&body_type=mht&body=%61",              // order swapped
      "flag=d&thread_id=T1&body=abc&body_type=mht",              // body not encoded
      "thread_id=T1&flag=d&body=%61&body_type=mht",
      "flag=d&thread_id=T1&body=%6&body_type=mht",               // broken escape
      "flag=d&thread_id=T1&body=%61&abstract=x y&body_type=mht",  // blank in an encoded value
  };
  for (const char* body : bodies) {
    SCOPED_TRACE(body);
    RequestParser::Values values;
    EXPECT_FALSE(RequestParser::Parse(body, kPersonal, 6, values));
  }
}

TEST(RequestParser, BodiesFullOfSeparators) {
  // Many "&" inside an encoded body and many look-alike pairs in a raw value:
  // a split search that tried every combination would run into the test's
  // time limit; its speed is not measured here.
  std::string html;
  for (int i = 0; i < 20000; ++i) html += "&nbsp;";
  std::string raw;
  for (int i = 0; i < 2000; ++i) raw += "&body=x";
  std::string body = "flag=d&thread_id=T" + raw + "&body=" + PercentCodec::Encode(html) + "&body_type=mht";
  RequestParser::Values values;
  ASSERT_TRUE(RequestParser::Parse(body, kPersonal, 6, values));
  EXPECT_EQ(ValueOf(values, "body"), html);
  EXPECT_EQ(ValueOf(values, "thread_id"), "T" + raw);
}

TEST(RequestParser, BodiesFullOfSeparatorsTakeNoMemoryPerSeparator) {
  // Four million "&" in a body of the largest size the server takes: the
  // split search keeps a fixed amount of state, whatever the body holds.
  const size_t largest = 8u << 20;
  std::string refused = "flag=d&thread_id=S1&body=";
  while (refused.size() + 2 <= largest) refused += "1&";
  std::string accepted = refused.substr(0, largest - 64) + "1&body_type=mht";
  PROCESS_MEMORY_COUNTERS before{};
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));
  RequestParser::Values values;
  EXPECT_FALSE(RequestParser::Parse(refused, kPersonal, 6, values));  // no body_type
  ASSERT_TRUE(RequestParser::Parse(accepted, kPersonal, 6, values));
  EXPECT_EQ(ValueOf(values, "thread_id"), "S1");
  EXPECT_EQ(ValueOf(values, "body").size(), accepted.size() - 25 - 14);
  PROCESS_MEMORY_COUNTERS after{};
  ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
  // The decoded body is one copy of 8 MiB; anything per "&" would be far more.
  EXPECT_LT(after.PeakWorkingSetSize - before.WorkingSetSize, size_t{48} << 20);
}

}  // namespace
