#pragma once
// Everything orb_testing offers, for tests of any area:
//   PumpMessages / PumpPending / PumpUntil   bounded message loops
//   ScopedSeam                               a seam's answer for one scope
//   MessageBoxRecorder                       answers and records message boxes
//   ModalAnswers                             answers CDialog::DoModal, with or without a window
//   PopupMenuRecorder                        chooses popup menu commands, snapshots the items
//   FakeClipboard                            a clipboard of the test's own
#include "FakeClipboard.h"
#include "MessageBoxRecorder.h"
#include "MessagePump.h"
#include "ModalAnswers.h"
#include "PopupMenuRecorder.h"
#include "ScopedSeam.h"
