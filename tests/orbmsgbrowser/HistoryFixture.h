#pragma once
// Stores full of made-up history for the viewer's tests and benchmark: a
// number of conversations, each record's text naming its conversation and
// its number, every tenth one about "西瓜", every other one kept as a
// single-file web page (as the conversation window stores what it sends).
#include "CString.h"
#include "InfoMsgStructer.h"

// Record n of conversation thread (both from 0).
InfoMsgStructer HistoryRecord(int thread, int n);
// Writes messages records, spread round-robin over threads conversations, into
// a new store at path in batches; false when the store cannot be written.
bool WriteHistory(const CString& path, int threads, int messages);
