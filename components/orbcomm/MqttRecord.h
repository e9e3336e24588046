#pragma once
// The payload of an MQTT message: the message record as one JSON object in
// UTF-8, with the keys the module reads (abstract, body, from, from_id,
// msg_id, msg_type, publish_time, thread_id, thread_members, title, url).
// Inside the process the record is code page 936 text (InfoMsgStructer);
// the conversion happens here, at the component's edge.
//
// A received payload is untrusted: Read refuses anything that is not a
// JSON object of string values in valid UTF-8 within the size limit, and
// every refusal comes with a message (code page 936) for the user.
#include <string>

#include "CString.h"
#include "InfoMsgStructer.h"

class MqttRecord {
 public:
  // Longest payload written or read, the limit of the embedded server too.
  static constexpr size_t kMaxPayloadBytes = 8u << 20;

  // The payload of record; empty fields are left out.
  static std::string Payload(const InfoMsgStructer& record);
  // Reads a payload into record. msg_id must be present: without it a
  // message delivered twice could not be recognised.
  static bool Read(const std::string& payload, InfoMsgStructer& record, CString& error);
  // The text the module pops for a received record: the keys it reads, in
  // code page 936 as the embedded server writes them.
  static std::string ModuleText(const InfoMsgStructer& record);
  // True when text is valid UTF-8.
  static bool IsUtf8(const std::string& text);
};
