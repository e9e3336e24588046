#pragma once
// Builds web addresses of the messenger's pages (for example the community
// registration page) from a text that is either an absolute http(s) address or
// a path relative to the web protocol head's base address.
#include "CString.h"
#include "OrbcommApi.h"
#include "tagWEB_PROTOCOL_HEAD.h"

class ORBCOMM_API COrbHttp_Protocol_Web {
 public:
  // head is borrowed and may be null (then only absolute addresses work).
  explicit COrbHttp_Protocol_Web(tagWEB_PROTOCOL_HEAD* head);
  virtual ~COrbHttp_Protocol_Web() = default;

  // The address for text: surrounding blanks removed, resolved against the
  // base address when relative, and every byte that may not stand in a URL
  // (blanks, quotes, control bytes, bytes of multibyte characters) written as
  // %XX of its UTF-8 form. "" when text is empty or is not an http or https
  // address, so the result is always safe to hand to the shell.
  virtual CString GetWebURL(const CString& text) const;

 private:
  tagWEB_PROTOCOL_HEAD* m_pHead;
};
