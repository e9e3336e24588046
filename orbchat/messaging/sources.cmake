# Server messaging: request bodies, received texts, pool lookup, the senders.
list(APPEND ORBCHAT_SOURCES
  messaging/PercentEncoding.cpp
  messaging/RequestBody.cpp
  messaging/MessageBodies.cpp
  messaging/ReceivedText.cpp
  messaging/SenderResults.cpp
  messaging/PoolLookup.cpp
  messaging/COrbChat_SendPersonalMsg.cpp
  messaging/COrbChat_SendGroupMsg.cpp)
list(APPEND ORBCHAT_LIBS JsonCpp::JsonCpp Orbcomm OrbXML)
