#pragma once
// The pairs of each request the chat module writes, in the order it writes
// them. The embedded server and the MQTT transport read requests against the
// same lists.
#include "RequestParser.h"

namespace RequestFields {

inline constexpr RequestField kApplication[] = {
    {"flag", false, false}, {"thread_id", false, false}, {"thread_members", false, false}, {"from", true, true}};
inline constexpr RequestField kPersonal[] = {{"flag", false, false},      {"thread_id", false, false},
                                             {"body", true, false},       {"abstract", true, true},
                                             {"body_type", false, false}, {"from", true, true}};
inline constexpr RequestField kGroup[] = {{"flag", false, false},      {"group_id", false, false},
                                          {"body", true, false},       {"abstract", true, true},
                                          {"body_type", false, false}, {"from", true, true}};

// The literal pool of community information requests.
inline constexpr char kGroupInfoPool[] = "GetGroupInfo";

}  // namespace RequestFields
