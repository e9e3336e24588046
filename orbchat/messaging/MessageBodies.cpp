#include "messaging/MessageBodies.h"

#include "messaging/RequestBody.h"

namespace {

// The pairs after the thread or group pair are the same for both kinds of
// message.
void AddMessagePairs(CRequestBody& request, const CString& abstract, const CString& body, const CString& bodyType,
                     const CString& alias) {
  request.AddEncoded("body", body);
  request.AddEncodedIfNotEmpty("abstract", abstract);
  request.AddRaw("body_type", bodyType);
  request.AddEncodedIfNotEmpty("from", alias);
}

}  // namespace

namespace MessageBodies {

CString SessionApplication(const CString& threadId, const CString& members, const CString& alias) {
  CRequestBody request;
  request.AddRaw("flag", "i");
  request.AddRaw("thread_id", threadId);
  request.AddRaw("thread_members", members);
  request.AddEncodedIfNotEmpty("from", alias);
  return request.GetText();
}

CString PersonalMessage(const CString& threadId, const CString& abstract, const CString& body,
                        const CString& bodyType, const CString& alias) {
  CRequestBody request;
  request.AddRaw("flag", "d");
  request.AddRaw("thread_id", threadId);
  AddMessagePairs(request, abstract, body, bodyType, alias);
  return request.GetText();
}

CString GroupMessage(const CString& groupId, const CString& abstract, const CString& body, const CString& bodyType,
                     const CString& alias) {
  CRequestBody request;
  request.AddRaw("flag", "d");
  request.AddRaw("group_id", groupId);
  AddMessagePairs(request, abstract, body, bodyType, alias);
  return request.GetText();
}

CString GroupInfoRequest(const CString& communityId) {
  CString id(communityId);
  return id.Trim();
}

}  // namespace MessageBodies
