#include "MqttRecord.h"

#include <windows.h>

#include <json/json.h>

#include <memory>

#include "CodePage.h"
#include "JsonTextWriter.h"

namespace {

struct Field {
  const char* key;
  CString InfoMsgStructer::*member;
};

// Payload order; the module's texts put issuccessful first.
const Field kFields[] = {
    {"msg_id", &InfoMsgStructer::msg_id},
    {"msg_type", &InfoMsgStructer::msg_type},
    {"publish_time", &InfoMsgStructer::publish_time},
    {"thread_id", &InfoMsgStructer::thread_id},
    {"thread_members", &InfoMsgStructer::thread_members},
    {"from_id", &InfoMsgStructer::from_id},
    {"from", &InfoMsgStructer::from},
    {"title", &InfoMsgStructer::title},
    {"abstract", &InfoMsgStructer::abstract},
    {"body", &InfoMsgStructer::body},
    {"url", &InfoMsgStructer::url},
};

const size_t kMaxIdBytes = 128;

std::string Utf8(const CString& ansi) { return CodePage::AnsiToUtf8(ansi.GetString(), ansi.GetLength()); }

}  // namespace

bool MqttRecord::IsUtf8(const std::string& text) {
  if (text.empty()) return true;
  if (text.size() > 0x7FFFFFFF) return false;
  return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0) > 0;
}

std::string MqttRecord::Payload(const InfoMsgStructer& record) {
  JsonTextWriter writer(record.body.GetLength() * 2 + 512);
  for (const Field& field : kFields) writer.AddIfNotEmpty(field.key, Utf8(record.*field.member));
  return writer.Text();
}

bool MqttRecord::Read(const std::string& payload, InfoMsgStructer& record, CString& error) {
  record = InfoMsgStructer();
  if (payload.size() > kMaxPayloadBytes) {
    error.Format("收到的消息太长（%u 字节），已丢弃", static_cast<unsigned>(payload.size()));
    return false;
  }
  if (!IsUtf8(payload)) {
    error = "收到的消息不是有效的 UTF-8 文本，已丢弃";
    return false;
  }
  Json::CharReaderBuilder builder;
  Json::CharReaderBuilder::strictMode(&builder.settings_);
  builder["allowSpecialFloats"] = false;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string why;
  if (!reader->parse(payload.data(), payload.data() + payload.size(), &root, &why)) {
    error = "收到的消息不是 JSON 文本，已丢弃";
    return false;
  }
  if (!root.isObject()) {
    error = "收到的消息不是 JSON 对象，已丢弃";
    return false;
  }
  for (const Field& field : kFields) {
    const Json::Value& value = root[field.key];
    if (value.isNull()) continue;
    if (!value.isString()) {
      error.Format("收到的消息中 %s 不是文本，已丢弃", field.key);
      return false;
    }
    const std::string text = value.asString();
    // Escapes such as a lone \ud800 decode to bytes that are not UTF-8.
    if (!IsUtf8(text)) {
      error.Format("收到的消息中 %s 不是有效的 UTF-8 文本，已丢弃", field.key);
      return false;
    }
    record.*field.member = CodePage::Utf8ToAnsi(text.data(), static_cast<int>(text.size()));
  }
  if (record.msg_id.IsEmpty() || static_cast<size_t>(record.msg_id.GetLength()) > kMaxIdBytes) {
    error = "收到的消息没有有效的消息编号（msg_id），已丢弃";
    return false;
  }
  return true;
}

std::string MqttRecord::ModuleText(const InfoMsgStructer& record) {
  JsonTextWriter writer(record.body.GetLength() + record.abstract.GetLength() + 384);
  writer.Add("issuccessful", 0);
  for (const Field& field : kFields) {
    const CString& value = record.*field.member;
    if (field.member == &InfoMsgStructer::thread_members || field.member == &InfoMsgStructer::from_id)
      writer.Add(field.key, value.Str());
    else
      writer.AddIfNotEmpty(field.key, value.Str());
  }
  return writer.Text();
}
