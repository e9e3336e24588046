#include "MqttTopics.h"

#include <vector>

namespace {

std::vector<std::string> Levels(const std::string& topic) {
  std::vector<std::string> levels;
  size_t start = 0;
  for (;;) {
    size_t slash = topic.find('/', start);
    levels.push_back(topic.substr(start, slash == std::string::npos ? std::string::npos : slash - start));
    if (slash == std::string::npos) return levels;
    start = slash + 1;
  }
}

}  // namespace

CString MqttTopics::Inbox(const CString& recipient, const CString& sender) const {
  return m_strRoot + "/u/" + recipient + "/from/" + sender;
}

CString MqttTopics::InboxFilter(const CString& user) const { return m_strRoot + "/u/" + user + "/from/+"; }

CString MqttTopics::Community(const CString& groupId, const CString& sender) const {
  return m_strRoot + "/g/" + groupId + "/from/" + sender;
}

CString MqttTopics::CommunityFilter(const CString& groupId) const { return m_strRoot + "/g/" + groupId + "/from/+"; }

MqttTopics::Parsed MqttTopics::Parse(const std::string& topic) const {
  Parsed parsed;
  const std::string prefix = m_strRoot.Str() + "/";
  if (topic.compare(0, prefix.size(), prefix) != 0) return parsed;
  std::vector<std::string> levels = Levels(topic.substr(prefix.size()));
  if (levels.size() != 4 || levels[2] != "from") return parsed;
  if (!IsUsableId(levels[1]) || !IsUsableId(levels[3])) return parsed;
  if (levels[0] == "u")
    parsed.kind = Kind::Inbox;
  else if (levels[0] == "g")
    parsed.kind = Kind::Community;
  else
    return parsed;
  parsed.owner = levels[1];
  parsed.sender = levels[3];
  return parsed;
}

bool MqttTopics::IsUsableId(const CString& id) {
  if (id.IsEmpty() || id.GetLength() > 64) return false;
  for (char ch : id.Str()) {
    const bool letter = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9');
    if (!letter && ch != '_' && ch != '-' && ch != '.' && ch != '@') return false;
  }
  return true;
}
