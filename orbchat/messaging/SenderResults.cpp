#include "messaging/SenderResults.h"

namespace SenderNotice {

const char* const kNoLink = "初始化失败! 还没有建立系统链接";
const char* const kPoolMissing = "您的系统配置有问题，无法建会话， 请检查505配置! ";
const char* const kNoGroup = "没有设置群组编号！\r\n发送失败 [还没有建立系统链接]";
const char* const kPushRefused = "发送失败! 还没有建立系统链接";

}  // namespace SenderNotice
