#include "MqttTestBroker.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "CodePage.h"

namespace orbtest {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string Dir() { return Env("ORB_MQTT_DIR"); }

// The Windows name of a Unix path (drive Z: is the Unix root under Wine).
std::wstring WinPath(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& ch : path)
    if (ch == '/') ch = '\\';
  return CodePage::Utf8ToWide(path.c_str());
}

bool ReadWhole(const std::string& unixPath, std::string& text) {
  std::ifstream in(WinPath(unixPath).c_str(), std::ios::binary);
  if (!in) return false;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  text = bytes.str();
  return true;
}

bool WriteWhole(const std::string& unixPath, const std::string& text) {
  std::ofstream out(WinPath(unixPath).c_str(), std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out);
}

std::string NextName(const char* what) {
  static int counter = 0;
  return std::string(what) + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
}

}  // namespace

bool MqttTestBroker::Available(std::string& why) {
  if (Dir().empty()) {
    why = "ORB_MQTT_DIR is not set: run the test through ctest, whose fixture starts the broker";
    return false;
  }
  std::string error;
  if (ReadWhole(Dir() + "/error", error)) {
    why = "the test broker could not start: " + error;
    return false;
  }
  if (Port() <= 0) {
    why = "the test broker wrote no port into " + Dir();
    return false;
  }
  return true;
}

int MqttTestBroker::Port() {
  std::string text;
  return ReadWhole(Dir() + "/port", text) ? std::atoi(text.c_str()) : 0;
}

int MqttTestBroker::TlsPort() {
  std::string text;
  return ReadWhole(Dir() + "/tls/server.crt", text) && ReadWhole(Dir() + "/tls_port", text) ? std::atoi(text.c_str())
                                                                                          : 0;
}

CString MqttTestBroker::File(const char* name) { return CodePage::WideToAnsi(WinPath(Dir() + "/" + name).c_str()); }

bool MqttTestBroker::Run(const std::string& arguments, const std::string& resultName, std::string& result,
                         int timeoutMs) {
  const std::string resultPath = Dir() + "/" + resultName;
  std::string command = "/bin/sh " + Dir() + "/broker.sh " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return false;
  if (process.hProcess) CloseHandle(process.hProcess);
  if (process.hThread) CloseHandle(process.hThread);
  for (int waited = 0; waited < timeoutMs; waited += 20) {
    if (ReadWhole(resultPath, result)) {
      DeleteFileW(WinPath(resultPath).c_str());
      return true;
    }
    Sleep(20);
  }
  return false;
}

bool MqttTestBroker::CleanSessions() {
  std::string result;
  const std::string name = NextName("cleaned");
  return Run("clean " + Dir() + " " + Dir() + "/" + name + " c1001 c1002 c1003 c1004 c1005", name, result, 15000);
}

bool MqttTestBroker::Stop() {
  std::string result;
  const std::string name = NextName("stopped");
  return Run("stop " + Dir() + " " + Dir() + "/" + name, name, result, 15000);
}

bool MqttTestBroker::Restart() {
  std::string result;
  const std::string name = NextName("restarted");
  return Run("restart " + Dir() + " " + Dir() + "/" + name, name, result, 15000) && result.rfind("started 0", 0) == 0;
}

bool MqttTestBroker::Publish(const char* user, const std::string& topic, const std::string& payload,
                             std::string& output) {
  const std::string payloadPath = Dir() + "/" + NextName("payload");
  if (!WriteWhole(payloadPath, payload)) return false;
  const std::string name = NextName("published");
  const bool done = Run("pub " + Dir() + " " + user + " " + topic + " " + payloadPath + " " + Dir() + "/" + name, name,
                        output, 20000);
  DeleteFileW(WinPath(payloadPath).c_str());
  return done;
}

bool MqttTestBroker::Subscribe(const char* user, const std::string& filter, int count, std::vector<std::string>& lines) {
  const std::string name = NextName("received");
  std::string output;
  if (!Run("sub " + Dir() + " " + user + " " + filter + " " + std::to_string(count) + " " + Dir() + "/" + name, name,
           output, 30000))
    return false;
  lines.clear();
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("exit ", 0) != 0) lines.push_back(line);
  return output.find("exit 0") != std::string::npos;
}

namespace {

// Community 12 in the user's chat database, with the members given.
void PutCommunity(const CString& databasePath, const char* members) {
  sqlite3* db = nullptr;
  const std::string path = CodePage::AnsiToUtf8(databasePath);
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  const std::string sql = std::string("INSERT INTO CustCommunity (groupid, groupname, tag, groupdes, members) "
                                      "VALUES ('12', '读书会', 1, '每周一次', '") + members + "')";
  const std::string utf8 = CodePage::AnsiToUtf8(sql.c_str());
  EXPECT_EQ(sqlite3_exec(db, utf8.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}

}  // namespace

std::unique_ptr<COrbHttp_Protocol_Orb> ConnectMqtt(COrbMqttServer& server, const CString& folder, const char* userId,
                                                   const char* alias, const char* password, const char* community12) {
  auto session = std::make_unique<COrbHttp_Protocol_Orb>();
  InfoLoginInfoStruct who;
  who.m_strUserID = userId;
  who.m_strAlias = alias;
  who.m_strRole = "c";
  who.m_strRoleCodes = "c";
  who.m_strProfileDir = folder;
  who.m_strPassword = password ? CString(password) : "pw-c" + CString(userId);
  CString error;
  EXPECT_TRUE(session->Login(who, error)) << error.GetString();
  if (community12 && session->GetLoginInfo()) {
    sqlite3* db = nullptr;
    const std::string path = CodePage::AnsiToUtf8(session->GetLoginInfo()->m_strDataFilePath);
    bool empty = true;
    if (sqlite3_open(path.c_str(), &db) == SQLITE_OK) {
      sqlite3_stmt* count = nullptr;
      if (sqlite3_prepare_v2(db, "SELECT count(*) FROM CustCommunity", -1, &count, nullptr) == SQLITE_OK &&
          sqlite3_step(count) == SQLITE_ROW)
        empty = sqlite3_column_int(count, 0) == 0;
      sqlite3_finalize(count);
    }
    sqlite3_close(db);
    if (empty) PutCommunity(session->GetLoginInfo()->m_strDataFilePath, community12);
  }
  EXPECT_TRUE(session->Link(&server, error)) << error.GetString();
  return session;
}

std::vector<Received> PopWithin(COrbHttp_Protocol_Orb& session, const CString& pool, size_t count, int timeoutMs) {
  std::vector<Received> texts;
  for (int waited = 0; texts.size() < count && waited <= timeoutMs;) {
    std::vector<Received> more = PopAll(session, pool);
    texts.insert(texts.end(), more.begin(), more.end());
    if (more.empty()) {
      Sleep(10);
      waited += 10;
    }
  }
  return texts;
}

bool WaitConnected(COrbHttp_Protocol_Orb& session, int timeoutMs) {
  for (int waited = 0; waited <= timeoutMs; waited += 10) {
    if (session.IsServerConnected()) return true;
    Sleep(10);
  }
  return false;
}

std::vector<CString> Notices(COrbHttp_Protocol_Orb& session) {
  std::vector<CString> notices;
  for (CString text; session.PopNotice(text);) notices.push_back(text);
  return notices;
}

}  // namespace orbtest
