#include "HtmlModel.h"

#include <cstdlib>

namespace HtmlModel {

namespace {
constexpr int kSizeTwips[7] = {160, 200, 240, 280, 360, 480, 720};
}

int HtmlSizeToTwips(int size) {
  if (size < 1) size = 1;
  if (size > 7) size = 7;
  return kSizeTwips[size - 1];
}

int TwipsToHtmlSize(int twips) {
  int best = 1;
  for (int i = 1; i < 7; ++i)
    if (std::abs(kSizeTwips[i] - twips) < std::abs(kSizeTwips[best - 1] - twips)) best = i + 1;
  return best;
}

}  // namespace HtmlModel
