#pragma once
// The message codes and the request bodies the module pushes to the server
// session component. Argument texts are code page 936.
#include "CString.h"

namespace MessageBodies {

// Message codes; each names a request pool ("req") and an answer pool ("ans").
inline constexpr const char* kCode5 = "5";
inline constexpr const char* kCode505 = "505";  // personal threads
inline constexpr const char* kCode506 = "506";  // groups (communities)
inline constexpr const char* kDirectionRequest = "req";
inline constexpr const char* kDirectionAnswer = "ans";

// The community information request goes to this pool, not a looked-up one.
inline constexpr const char* kGroupInfoPool = "GetGroupInfo";

// flag=i: applies for a personal thread; "from" only when alias is not empty.
CString SessionApplication(const CString& threadId, const CString& members, const CString& alias);

// flag=d on a personal thread; "abstract" and "from" only when not empty.
CString PersonalMessage(const CString& threadId, const CString& abstract, const CString& body,
                        const CString& bodyType, const CString& alias);

// flag=d to a group (community); "abstract" and "from" only when not empty.
CString GroupMessage(const CString& groupId, const CString& abstract, const CString& body, const CString& bodyType,
                     const CString& alias);

// The body of a community information request: the bare id, trimmed.
CString GroupInfoRequest(const CString& communityId);

}  // namespace MessageBodies
