#pragma once
// Codes the chat server puts into "issuccessful" when it cannot serve a
// request (0 means success). The "errorinfo" next to it is UTF-8 text.
enum OrbServerError : int {
  ORB_OK = 0,
  ORB_ERR_MALFORMED = 400,       // the body is not a request the server knows
  ORB_ERR_NOT_MEMBER = 403,      // the sender is not a member of the thread or community
  ORB_ERR_NO_THREAD = 404,       // no thread with that id
  ORB_ERR_NO_GROUP = 406,        // no community with that id
  ORB_ERR_THREAD_TAKEN = 409,    // the thread id belongs to a thread the applicant is not in
  ORB_ERR_TOO_LARGE = 413,       // the body is longer than the server accepts
  ORB_ERR_MAILBOX_FULL = 507,    // a recipient's mailbox is full; nobody received the message
  ORB_ERR_UNKNOWN_POOL = 501,    // the request pool is not one the server serves
  ORB_ERR_NO_MEMORY = 503,       // memory ran out while the request was handled; it is not confirmed
};
