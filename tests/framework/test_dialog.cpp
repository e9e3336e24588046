// Dialogs: created from the template of the module they are given, modal and
// modeless; controls bound by id (and a missing id refused loudly); the modal
// seam answering DoModal with and without a window; the modal loop's
// PreTranslateMessage, owner disabling and nesting.
#include <gtest/gtest.h>

#include <string>

#include "CButton.h"
#include "CComboBox.h"
#include "CDialog.h"
#include "CEdit.h"
#include "CTreeCtrl.h"
#include "MessageBoxRecorder.h"
#include "MessagePump.h"
#include "ModalAnswers.h"
#include "framework_test_ids.h"

namespace {

HINSTANCE Exe() { return ::GetModuleHandleA(nullptr); }

HINSTANCE ResourceDll() {
  static HMODULE dll = ::LoadLibraryA("fw_test_resources.dll");
  return dll;
}

// The input dialog: one edit bound to m_strText, OK refused while it is empty.
class InputDialog : public CDialog {
 public:
  explicit InputDialog(CWnd* parent = nullptr) : CDialog(Exe(), IDD_FW_INPUT, parent) {}
  CString m_strText;
  CEdit m_edit;
  int refusals = 0;
  int keyDowns = 0;
  bool initialised = false;

  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_KEYDOWN) ++keyDowns;
    return CDialog::PreTranslateMessage(msg);
  }

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, IDC_FW_INPUT, m_edit);
    DDX_Text(dx, IDC_FW_INPUT, m_strText);
  }
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    initialised = true;
    return TRUE;
  }
  void OnOK() override {
    CString text;
    m_edit.GetWindowText(text);
    if (text.IsEmpty()) {
      ++refusals;
      return;
    }
    CDialog::OnOK();
  }
};

// A dialog whose exchange names a control its template lacks.
class BrokenDialog : public CDialog {
 public:
  BrokenDialog() : CDialog(Exe(), IDD_FW_INPUT) {}
  CEdit m_edit;
  CButton m_missing;

 protected:
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, IDC_FW_INPUT, m_edit);
    DDX_Control(dx, IDC_FW_ABSENT, m_missing);
  }
};

TEST(DialogTemplate, ModelessFromTheExecutablesResources) {
  InputDialog dialog;
  dialog.m_strText = "预设";
  ASSERT_TRUE(dialog.Create());
  EXPECT_TRUE(dialog.initialised);
  EXPECT_TRUE(dialog.OwnsWindow());
  EXPECT_STREQ(dialog.GetWindowText(), "输入");
  ASSERT_NE(dialog.m_edit.m_hWnd, nullptr);
  EXPECT_EQ(dialog.m_edit.GetDlgCtrlID(), IDC_FW_INPUT);
  EXPECT_STREQ(dialog.m_edit.GetWindowText(), "预设");  // DDX_Text into the control
  EXPECT_EQ(CWnd::FromHandlePermanent(dialog.m_edit.m_hWnd), &dialog.m_edit);
}

namespace {
// Reads what OnInitDialog finds in the controls the dialog-init data fills.
class InitDataDialog : public CDialog {
 public:
  InitDataDialog() : CDialog(Exe(), IDD_FW_DLGINIT) {}
  BOOL OnInitDialog() override {
    comboCount = static_cast<int>(SendDlgItemMessageA(m_hWnd, IDC_FW_INIT_COMBO, CB_GETCOUNT, 0, 0));
    return CDialog::OnInitDialog();
  }
  int comboCount = -1;
};

CString ItemText(HWND dlg, int id, UINT getText, int index) {
  char text[32] = {};
  SendDlgItemMessageA(dlg, id, getText, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  return CString(text);
}
}  // namespace

TEST(DialogTemplate, InitialDataFillsCombosAndListsBeforeInitDialog) {
  InitDataDialog dialog;
  ASSERT_TRUE(dialog.Create());
  EXPECT_EQ(dialog.comboCount, 2);
  EXPECT_STREQ(ItemText(dialog.m_hWnd, IDC_FW_INIT_COMBO, CB_GETLBTEXT, 0), "1");
  EXPECT_STREQ(ItemText(dialog.m_hWnd, IDC_FW_INIT_COMBO, CB_GETLBTEXT, 1), "宋体");
  EXPECT_EQ(SendDlgItemMessageA(dialog.m_hWnd, IDC_FW_INIT_LIST, LB_GETCOUNT, 0, 0), 1);
  EXPECT_STREQ(ItemText(dialog.m_hWnd, IDC_FW_INIT_LIST, LB_GETTEXT, 0), "群");
}

TEST(DialogTemplate, TemplateIsTakenFromTheGivenModule) {
  ASSERT_NE(ResourceDll(), nullptr);
  CDialog fromDll(ResourceDll(), IDD_FW_DLL_ONLY);
  ASSERT_TRUE(fromDll.Create());
  EXPECT_STREQ(fromDll.GetWindowText(), "模块里的对话框");

  CDialog fromExe(Exe(), IDD_FW_DLL_ONLY);
  EXPECT_FALSE(fromExe.Create());
  EXPECT_EQ(fromExe.m_hWnd, nullptr);
  EXPECT_NE(fromExe.GetError().Find("300"), -1);
}

TEST(DialogTemplate, MissingTemplateFailsModalToo) {
  CDialog missing(Exe(), IDD_FW_MISSING);
  EXPECT_EQ(missing.RunModal(), -1);
  EXPECT_FALSE(missing.GetError().IsEmpty());
}

TEST(DialogTemplate, MissingControlIdRefusesToOpenAndSaysWhich) {
  OrbTesting::MessageBoxRecorder boxes;
  BrokenDialog modeless;
  EXPECT_FALSE(modeless.Create());
  EXPECT_EQ(modeless.m_hWnd, nullptr);
  EXPECT_NE(modeless.GetError().Find("1099"), -1) << modeless.GetError().GetString();
  ASSERT_EQ(boxes.Count(), 1u);
  EXPECT_NE(boxes.Last().text.Find("1099"), -1);

  BrokenDialog modal;
  EXPECT_EQ(modal.RunModal(), -1);
  EXPECT_EQ(boxes.Count(), 2u);
}

TEST(DialogTemplate, ControlObjectBoundElsewhereIsRefused) {
  OrbTesting::MessageBoxRecorder boxes;
  InputDialog first;
  ASSERT_TRUE(first.Create());
  // A second dialog tries to bind the same control object to its own edit.
  class Thief : public CDialog {
   public:
    explicit Thief(CEdit& stolen) : CDialog(Exe(), IDD_FW_INPUT), m_stolen(stolen) {}

   protected:
    void DoDataExchange(CDataExchange* dx) override { DDX_Control(dx, IDC_FW_INPUT, m_stolen); }
    CEdit& m_stolen;
  } thief(first.m_edit);
  EXPECT_FALSE(thief.Create());
  EXPECT_EQ(boxes.Count(), 1u);
}

TEST(ModalDialog, DrivenInsideItsLoopReturnsTheButtonsCode) {
  InputDialog dialog;
  const INT_PTR result = dialog.RunModal([](CDialog& shown) {
    auto& input = dynamic_cast<InputDialog&>(shown);
    EXPECT_TRUE(input.IsWindowVisible());
    input.m_edit.SetWindowText("讨论组");
    input.PostMessage(WM_COMMAND, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_STREQ(dialog.m_strText, "讨论组");  // saved by DDX on OK
  EXPECT_EQ(dialog.m_hWnd, nullptr);       // window gone after DoModal
}

TEST(ModalDialog, RefusedOkKeepsTheDialogOpenUntilCancel) {
  InputDialog dialog;
  const INT_PTR result = dialog.RunModal([](CDialog& shown) {
    shown.SendMessage(WM_COMMAND, IDOK);
    EXPECT_TRUE(shown.IsWindowVisible());
    shown.SendMessage(WM_CLOSE);  // the caption's close: IDCANCEL
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(dialog.refusals, 1);
  EXPECT_TRUE(dialog.m_strText.IsEmpty());
}

TEST(ModalDialog, LoopRunsPreTranslateAndTheDialogManager) {
  InputDialog dialog;
  const INT_PTR result = dialog.RunModal([](CDialog& shown) {
    auto& input = dynamic_cast<InputDialog&>(shown);
    input.m_edit.SetFocus();
    // Escape typed into the edit: the dialog manager turns it into IDCANCEL.
    input.m_edit.PostMessage(WM_KEYDOWN, VK_ESCAPE, 1);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_GE(dialog.keyDowns, 1);
}

TEST(ModalDialog, OwnerIsDisabledWhileModalAndEnabledAfter) {
  CDialog owner(Exe(), IDD_FW_INPUT);
  ASSERT_TRUE(owner.Create());
  InputDialog dialog(&owner);
  bool enabledDuring = true;
  dialog.RunModal([&](CDialog& shown) {
    enabledDuring = owner.IsWindowEnabled() != FALSE;
    shown.EndDialog(IDCANCEL);
  });
  EXPECT_FALSE(enabledDuring);
  EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(ModalDialog, QuitMessageEndsTheLoopAndIsKeptForTheOuterLoop) {
  InputDialog dialog;
  const INT_PTR result = dialog.RunModal([](CDialog&) { ::PostQuitMessage(3); });
  EXPECT_EQ(result, -1);
  MSG msg;
  ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(ModalSeam, AnswerWithoutWindowActsOnTheObject) {
  OrbTesting::ModalAnswers modal;
  modal.Answer(IDOK, [](CDialog& d) { dynamic_cast<InputDialog&>(d).m_strText = "标签"; });
  InputDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDOK);
  EXPECT_STREQ(dialog.m_strText, "标签");
  EXPECT_FALSE(dialog.initialised);  // no window was made
  ASSERT_EQ(modal.Asked().size(), 1u);
  EXPECT_EQ(modal.Asked()[0].templateId, static_cast<UINT>(IDD_FW_INPUT));
  EXPECT_NE(modal.Asked()[0].className.find("InputDialog"), std::string::npos);
}

TEST(ModalSeam, UnansweredDoModalIsCancelledAndCounted) {
  OrbTesting::ModalAnswers modal;
  InputDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  EXPECT_EQ(modal.Unexpected(), 1);
}

TEST(ModalSeam, NestedDialogsAreAnsweredInOrder) {
  OrbTesting::ModalAnswers modal;
  CString inner;
  modal.Drive([&](CDialog& outer) {
    InputDialog nested(&outer);
    EXPECT_EQ(nested.DoModal(), IDOK);  // the second answer
    inner = nested.m_strText;
    outer.EndDialog(IDRETRY);
  });
  modal.Answer(IDOK, [](CDialog& d) { dynamic_cast<InputDialog&>(d).m_strText = "内层"; });
  InputDialog outer;
  EXPECT_EQ(outer.DoModal(), IDRETRY);
  EXPECT_STREQ(inner, "内层");
  EXPECT_EQ(modal.Asked().size(), 2u);
  EXPECT_EQ(modal.Pending(), 0u);
}

TEST(ModalSeam, DrivenDialogNobodyClosesEndsAtItsTimeLimit) {
  OrbTesting::ModalAnswers modal;
  modal.Drive([](CDialog&) {}, 200);
  InputDialog dialog;
  EXPECT_EQ(dialog.DoModal(), IDABORT);
  EXPECT_EQ(modal.TimedOut(), 1);
}

TEST(ModelessDialog, OkAndCancelHideButKeepTheWindow) {
  InputDialog dialog;
  ASSERT_TRUE(dialog.Create());
  dialog.m_edit.SetWindowText("x");
  dialog.ShowWindow(SW_SHOW);
  dialog.SendMessage(WM_COMMAND, IDOK);
  EXPECT_TRUE(dialog.IsWindow());
  EXPECT_FALSE(dialog.IsWindowVisible());
  EXPECT_STREQ(dialog.m_strText, "x");
  dialog.ShowWindow(SW_SHOW);
  dialog.SendMessage(WM_COMMAND, IDCANCEL);
  EXPECT_TRUE(dialog.IsWindow());
  EXPECT_FALSE(dialog.IsWindowVisible());
}

TEST(ModelessDialog, DestroyWindowThenRecreate) {
  InputDialog dialog;
  ASSERT_TRUE(dialog.Create());
  HWND first = dialog.m_hWnd;
  EXPECT_TRUE(dialog.DestroyWindow());
  EXPECT_EQ(dialog.m_hWnd, nullptr);
  EXPECT_EQ(dialog.m_edit.m_hWnd, nullptr);
  EXPECT_FALSE(::IsWindow(first));
  ASSERT_TRUE(dialog.Create());
  EXPECT_NE(dialog.m_edit.m_hWnd, nullptr);
}

TEST(ModelessDialog, ChildDialogInsideAStaticOfItsParent) {
  CDialog parent(Exe(), IDD_FW_CONTROLS);
  ASSERT_TRUE(parent.Create());
  CDialog child(Exe(), IDD_FW_CHILD, parent.GetDlgItem(IDC_FW_STATIC));
  ASSERT_TRUE(child.Create());
  EXPECT_EQ(::GetParent(child.m_hWnd), parent.GetDlgItem(IDC_FW_STATIC)->m_hWnd);
  EXPECT_TRUE(child.GetStyle() & WS_CHILD);
}

// Colours answered by the dialog's own map come back through the dialog
// procedure as the brush itself.
class ColourDialog : public CDialog {
 public:
  ColourDialog() : CDialog(Exe(), IDD_FW_CONTROLS), m_brush(::CreateSolidBrush(RGB(1, 2, 3))) {}
  ~ColourDialog() override { ::DeleteObject(m_brush); }
  HBRUSH m_brush;
  UINT lastKind = 99;
  COLORREF defaultBackground = 0;

 protected:
  HBRUSH OnCtlColor(CDC* dc, CWnd* wnd, UINT kind) {
    lastKind = kind;
    EXPECT_NE(wnd, nullptr);
    dc->SetBkColor(RGB(255, 248, 255));
    return m_brush;
  }
  BOOL OnEraseBkgnd(CDC* dc) {
    defaultBackground = dc->GetBkColor();
    return TRUE;
  }
  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ColourDialog, CDialog)
  ON_WM_CTLCOLOR()
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

TEST(DialogMessages, CtlColorResultIsReturnedDirectly) {
  ColourDialog dialog;
  ASSERT_TRUE(dialog.Create());
  HDC dc = ::GetDC(dialog.m_hWnd);
  const LRESULT brush = ::SendMessageA(dialog.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(IDC_FW_STATIC)->m_hWnd));
  EXPECT_EQ(reinterpret_cast<HBRUSH>(brush), dialog.m_brush);
  EXPECT_EQ(dialog.lastKind, static_cast<UINT>(CTLCOLOR_STATIC));
  EXPECT_EQ(::GetBkColor(dc), RGB(255, 248, 255));
  EXPECT_EQ(::SendMessageA(dialog.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), TRUE);
  ::ReleaseDC(dialog.m_hWnd, dc);
}

}  // namespace
