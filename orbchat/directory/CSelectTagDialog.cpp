#include "directory/CSelectTagDialog.h"

#include "COrbHttp_Protocol_Orb.h"
#include "InfoLoginInfoStruct.h"
#include "chat/ModuleHandle.h"
#include "directory/CChatDirectory.h"
#include "support/FileUtils.h"

CSelectTagDialog::CSelectTagDialog(UINT templateId, UINT comboId, const char* table, CWnd* parent,
                                   COrbHttp_Protocol_Orb* protocol)
    : CDialog(OrbChatModuleHandle(), templateId, parent), m_pProtocol(protocol), m_nComboId(comboId),
      m_pszTable(table) {}

void CSelectTagDialog::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, static_cast<int>(m_nComboId), m_comboTags);
}

BOOL CSelectTagDialog::OnInitDialog() {
  if (!CDialog::OnInitDialog()) return FALSE;
  Skin();
  if (!FillTags()) return FALSE;
  if (m_comboTags.GetCount() > 0) m_comboTags.SetCurSel(0);
  return TRUE;
}

bool CSelectTagDialog::FillTags() {
  InfoLoginInfoStruct* login = m_pProtocol ? m_pProtocol->GetLoginInfo() : nullptr;
  if (!login) return false;
  std::vector<ChatTagRow> rows;
  if (!CChatDirectory(ReplaceExtension(login->m_strDataFilePath, ".dat")).ReadTagsByNumber(m_pszTable, rows))
    return false;
  for (const ChatTagRow& row : rows) {
    if (m_comboTags.AddString(row.name) < 0) break;
    m_arrTags.push_back(row.tag);
  }
  return true;
}

void CSelectTagDialog::OnOK() {
  const int index = m_comboTags.GetCurSel();
  if (index >= 0 && static_cast<size_t>(index) < m_arrTags.size()) {
    m_nSelTag = m_arrTags[static_cast<size_t>(index)];
    m_strSelName = m_comboTags.GetLBText(index);
  }
  CDialog::OnOK();
}
