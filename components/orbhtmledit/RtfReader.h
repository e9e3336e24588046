#pragma once
// The RTF that RichEdit streams out, read back into the document model:
// text, paragraph ends, the character format of every run (font table face,
// \fs, \cf and \highlight through the colour table, 0 meaning automatic, \b,
// \i, \ul) and the pictures, each found by the record index that its
// metafile names (PictureObject). Only this subset is read; anything else in
// the RTF is skipped.
#include <string>

#include "HtmlModel.h"

namespace RtfReader {

// defaultFace and defaultTwips are the control's default format: runs in it
// get an empty face and size 0.
HtmlModel::Document Read(const std::string& rtf, const std::wstring& defaultFace, int defaultTwips);

}  // namespace RtfReader
