#pragma once
// Result values and notices shared by the two senders. A notice is what the
// conversation window shows the user when it is not empty.

namespace SenderResult {

inline constexpr int kNoProtocol = -1;       // Send / ApplySession without a session object
inline constexpr int kNothingDone = 0;       // nothing to send (no thread, unknown mode, ...)
inline constexpr int kSent = 1;              // Send: the request was pushed
inline constexpr int kPushed = -1;           // SendRequest: the request was pushed
inline constexpr int kNoSessionId = -2;      // ApplySession: no server link yet
inline constexpr int kPushRefused = -3;      // the session object refused the request
inline constexpr int kPoolMissing = -505;    // the request pool is not configured
inline constexpr int kRequestNoProtocol = 100;  // SendRequest without a session object

}  // namespace SenderResult

namespace SenderNotice {

// "初始化失败! %s" with "还没有建立系统链接".
extern const char* const kNoLink;
// Both senders report a missing request pool with this text.
extern const char* const kPoolMissing;
// "没有设置群组编号！\r\n发送失败 [%s]" with "还没有建立系统链接".
extern const char* const kNoGroup;
// The session object took no request (it is not logged in).
extern const char* const kPushRefused;

}  // namespace SenderNotice
