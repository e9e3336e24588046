#include "DrawValueTable.h"

#include <cctype>

namespace {

std::string Lower(const std::string& key) {
  std::string out = key;
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace

void DrawValueTable::Set(UINT_PTR item, int subItem, const std::string& key, const std::string& value) {
  m_mapItems[item][subItem][Lower(key)] = value;
}

void DrawValueTable::Remove(UINT_PTR item, int subItem, const std::string& key) {
  auto row = m_mapItems.find(item);
  if (row == m_mapItems.end()) return;
  auto cell = row->second.find(subItem);
  if (cell == row->second.end()) return;
  cell->second.erase(Lower(key));
  if (cell->second.empty()) row->second.erase(cell);
  if (row->second.empty()) m_mapItems.erase(row);
}

const std::string* DrawValueTable::Find(UINT_PTR item, int subItem, const std::string& key) const {
  auto row = m_mapItems.find(item);
  if (row == m_mapItems.end()) return nullptr;
  auto cell = row->second.find(subItem);
  if (cell == row->second.end()) return nullptr;
  auto value = cell->second.find(Lower(key));
  return value == cell->second.end() ? nullptr : &value->second;
}

bool DrawValueTable::HasCell(UINT_PTR item, int subItem) const {
  auto row = m_mapItems.find(item);
  return row != m_mapItems.end() && row->second.count(subItem) != 0;
}

bool DrawValueTable::HasItem(UINT_PTR item) const { return m_mapItems.count(item) != 0; }

void DrawValueTable::InsertIndex(UINT_PTR index) {
  std::map<UINT_PTR, Row> moved;
  for (auto& [item, row] : m_mapItems) moved.emplace(item >= index ? item + 1 : item, std::move(row));
  m_mapItems.swap(moved);
}

void DrawValueTable::RemoveIndex(UINT_PTR index) {
  std::map<UINT_PTR, Row> moved;
  for (auto& [item, row] : m_mapItems) {
    if (item == index) continue;
    moved.emplace(item > index ? item - 1 : item, std::move(row));
  }
  m_mapItems.swap(moved);
}

void DrawValueTable::RemoveItem(UINT_PTR item) { m_mapItems.erase(item); }

std::vector<UINT_PTR> DrawValueTable::Items() const {
  std::vector<UINT_PTR> items;
  items.reserve(m_mapItems.size());
  for (const auto& entry : m_mapItems) items.push_back(entry.first);
  return items;
}
