# Server messaging: request bodies, received texts, pool lookup, the senders.
list(APPEND ORBCHAT_SOURCES
  messaging/PercentEncoding.cpp
  messaging/RequestBody.cpp
  messaging/MessageBodies.cpp
  messaging/ReceivedText.cpp)
list(APPEND ORBCHAT_LIBS JsonCpp::JsonCpp)
# The pool lookup and the senders talk to the server session component and
# the XML reader.
if(TARGET Orbcomm AND TARGET OrbXML)
  list(APPEND ORBCHAT_SOURCES
    messaging/SenderResults.cpp
    messaging/PoolLookup.cpp
    messaging/COrbChat_SendPersonalMsg.cpp
    messaging/COrbChat_SendGroupMsg.cpp)
  list(APPEND ORBCHAT_LIBS Orbcomm OrbXML)
endif()
