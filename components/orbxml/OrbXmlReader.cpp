#include "OrbXmlReader.h"

#include <windows.h>
#include <msxml.h>

#include <string>
#include <vector>

#include "BStr.h"
#include "CodePage.h"
#include "ComApartment.h"
#include "ComPtr.h"
#include "XmlTextDecoder.h"

namespace {

// Element names of a dotted path; empty when a part is empty.
std::vector<std::wstring> SplitPath(const CString& path) {
  std::vector<std::wstring> parts;
  std::wstring wide = CodePage::AnsiToWide(path.GetString());
  size_t start = 0;
  while (true) {
    size_t dot = wide.find(L'.', start);
    std::wstring part = wide.substr(start, dot == std::wstring::npos ? std::wstring::npos : dot - start);
    if (part.empty()) return {};
    parts.push_back(part);
    if (dot == std::wstring::npos) return parts;
    start = dot + 1;
  }
}

bool CreateDocument(ComPtr<IXMLDOMDocument>& document) {
  static const wchar_t* const kProgIds[] = {L"Msxml2.DOMDocument.6.0", L"Msxml2.DOMDocument.3.0",
                                            L"Microsoft.XMLDOM"};
  for (const wchar_t* progId : kProgIds) {
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(progId, &clsid))) continue;
    if (SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IXMLDOMDocument,
                                   document.OutVoid())) &&
        document) {
      // A configuration text never needs outside files or a schema check.
      document->put_async(VARIANT_FALSE);
      document->put_validateOnParse(VARIANT_FALSE);
      document->put_resolveExternals(VARIANT_FALSE);
      return true;
    }
  }
  return false;
}

std::wstring NodeName(IXMLDOMNode* node) {
  BStr name;
  if (FAILED(node->get_nodeName(name.Out()))) return {};
  return name.Str();
}

bool IsElement(IXMLDOMNode* node) {
  DOMNodeType type = NODE_INVALID;
  return SUCCEEDED(node->get_nodeType(&type)) && type == NODE_ELEMENT;
}

// Child elements of parent named name, in document order. Each entry holds a
// reference that the caller releases. The siblings are walked one after the
// other: reaching a child by its index walks the list from the first child
// again, which made a long list take minutes.
void ChildElements(IXMLDOMNode* parent, const std::wstring& name, std::vector<IXMLDOMNode*>& found) {
  IXMLDOMNode* child = nullptr;
  if (FAILED(parent->get_firstChild(&child))) return;
  while (child) {
    IXMLDOMNode* next = nullptr;
    if (FAILED(child->get_nextSibling(&next))) next = nullptr;
    if (IsElement(child) && NodeName(child) == name) {
      found.push_back(child);
    } else {
      child->Release();
    }
    child = next;
  }
}

void ReleaseAll(std::vector<IXMLDOMNode*>& nodes) {
  for (IXMLDOMNode* node : nodes) node->Release();
  nodes.clear();
}

// The attribute's text; false when the element has no such attribute.
bool ReadAttribute(IXMLDOMNode* node, const std::wstring& name, std::wstring& text) {
  ComPtr<IXMLDOMElement> element;
  if (FAILED(node->QueryInterface(IID_IXMLDOMElement, element.OutVoid())) || !element) return false;
  BStr attributeName(name);
  VARIANT value;
  VariantInit(&value);
  bool found = element->getAttribute(attributeName.Get(), &value) == S_OK && value.vt == VT_BSTR;
  if (found) text.assign(value.bstrVal, SysStringLen(value.bstrVal));
  VariantClear(&value);
  return found;
}

bool ReadChildText(IXMLDOMNode* node, const std::wstring& name, std::wstring& text) {
  std::vector<IXMLDOMNode*> children;
  ChildElements(node, name, children);
  bool found = false;
  if (!children.empty()) {
    BStr content;
    found = SUCCEEDED(children.front()->get_text(content.Out()));
    if (found) text = content.Str();
  }
  ReleaseAll(children);
  return found;
}

// True when the prolog holds a document type declaration. The host's file
// never needs one, and the entities it may declare can blow a small file up
// into megabytes of text, so such a document is refused before it is parsed.
bool HasDocumentType(const std::wstring& text) {
  size_t at = 0;
  while (at < text.size()) {
    const wchar_t ch = text[at];
    if (ch == 0xFEFF || ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n') {
      ++at;
    } else if (text.compare(at, 2, L"<?") == 0 || text.compare(at, 4, L"<!--") == 0) {
      const bool comment = text[at + 1] == L'!';
      const size_t end = text.find(comment ? L"-->" : L"?>", at + 2);
      if (end == std::wstring::npos) return false;  // malformed; the parser refuses it
      at = end + (comment ? 3 : 2);
    } else {
      return _wcsnicmp(text.c_str() + at, L"<!DOCTYPE", 9) == 0;
    }
  }
  return false;
}

CString TrimmedAnsi(const std::wstring& text) {
  CString result = CodePage::WideToAnsi(text.c_str(), static_cast<int>(text.size()));
  result.Trim();
  return result;
}

}  // namespace

CString COrbXmlReader::GetSpecialStr(const CString& document, const CString& path, const CString& value,
                                     const CString& attribute, const CString& key) const {
  if (document.IsEmpty() || value.IsEmpty() || attribute.IsEmpty()) return "";
  std::vector<std::wstring> parts = SplitPath(path);
  if (parts.empty()) return "";
  std::wstring text;
  if (!XmlTextDecoder::Decode(document.Str(), text) || HasDocumentType(text)) return "";

  ComApartment apartment;
  if (!apartment.IsUsable()) return "";
  ComPtr<IXMLDOMDocument> dom;
  if (!CreateDocument(dom)) return "";
  BStr source(text);
  VARIANT_BOOL loaded = VARIANT_FALSE;
  if (dom->loadXML(source.Get(), &loaded) != S_OK || loaded != VARIANT_TRUE) return "";

  ComPtr<IXMLDOMElement> root;
  if (FAILED(dom->get_documentElement(root.Out())) || !root) return "";
  if (NodeName(root.Get()) != parts[0]) return "";

  // Walk down the path keeping every element that matches each step.
  std::vector<IXMLDOMNode*> level;
  root->AddRef();
  level.push_back(root.Get());
  for (size_t i = 1; i < parts.size() && !level.empty(); ++i) {
    std::vector<IXMLDOMNode*> next;
    for (IXMLDOMNode* node : level) ChildElements(node, parts[i], next);
    ReleaseAll(level);
    level.swap(next);
  }

  std::wstring wantedKey = CodePage::AnsiToWide(key.GetString());
  std::wstring attributeName = CodePage::AnsiToWide(attribute.GetString());
  std::wstring valueName = CodePage::AnsiToWide(value.GetString());
  CString result;
  for (IXMLDOMNode* node : level) {
    std::wstring keyText;
    if (!ReadAttribute(node, attributeName, keyText) || keyText != wantedKey) continue;
    std::wstring found;
    if (ReadAttribute(node, valueName, found) || ReadChildText(node, valueName, found)) result = TrimmedAnsi(found);
    break;
  }
  ReleaseAll(level);
  return result;
}
