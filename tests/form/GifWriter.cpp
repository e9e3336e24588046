#include "GifWriter.h"

namespace {

class BitWriter {
 public:
  void Put(unsigned code, int bits) {
    m_nAccumulator |= code << m_nBits;
    m_nBits += bits;
    while (m_nBits >= 8) {
      m_strBytes.push_back(static_cast<char>(m_nAccumulator & 0xFF));
      m_nAccumulator >>= 8;
      m_nBits -= 8;
    }
  }
  std::string Finish() {
    if (m_nBits > 0) m_strBytes.push_back(static_cast<char>(m_nAccumulator & 0xFF));
    return m_strBytes;
  }

 private:
  std::string m_strBytes;
  unsigned m_nAccumulator = 0;
  int m_nBits = 0;
};

void Word(std::string& out, int value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

}  // namespace

std::string MakeGif(int width, int height, const COLORREF (&palette)[4], const std::function<int(int, int)>& pixel) {
  std::string gif = "GIF89a";
  Word(gif, width);
  Word(gif, height);
  gif += std::string("\xF1\x00\x00", 3);  // global colour table of 4 entries
  for (COLORREF colour : palette) {
    gif.push_back(static_cast<char>(GetRValue(colour)));
    gif.push_back(static_cast<char>(GetGValue(colour)));
    gif.push_back(static_cast<char>(GetBValue(colour)));
  }
  gif.push_back(',');
  Word(gif, 0);
  Word(gif, 0);
  Word(gif, width);
  Word(gif, height);
  gif.push_back('\0');
  gif.push_back('\x02');  // minimum code size 2: clear 4, end 5
  BitWriter bits;
  long long count = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x, ++count) {
      if (count % 2 == 0) bits.Put(4, 3);
      bits.Put(static_cast<unsigned>(pixel(x, y) & 3), 3);
    }
  }
  bits.Put(5, 3);
  const std::string data = bits.Finish();
  for (size_t at = 0; at < data.size(); at += 255) {
    const std::string block = data.substr(at, 255);
    gif.push_back(static_cast<char>(block.size()));
    gif += block;
  }
  gif.push_back('\0');
  gif.push_back(';');
  return gif;
}
