#pragma once
// The draw values of one window: per entry (index or node handle) and cell,
// named texts such as the icon name or the text to show. List indexes are
// kept in step with the list through InsertIndex and RemoveIndex.
#include <windows.h>

#include <map>
#include <string>
#include <vector>

class DrawValueTable {
 public:
  // Keys are matched without regard to case.
  void Set(UINT_PTR item, int subItem, const std::string& key, const std::string& value);
  void Remove(UINT_PTR item, int subItem, const std::string& key);
  const std::string* Find(UINT_PTR item, int subItem, const std::string& key) const;
  bool HasCell(UINT_PTR item, int subItem) const;
  bool HasItem(UINT_PTR item) const;

  // An entry was inserted at index: entries at or after it move down one.
  void InsertIndex(UINT_PTR index);
  // The entry at index was deleted: its values go, later entries move up one.
  void RemoveIndex(UINT_PTR index);
  // A tree node was deleted.
  void RemoveItem(UINT_PTR item);
  void Clear() { m_mapItems.clear(); }
  size_t ItemCount() const { return m_mapItems.size(); }
  // The entries that hold values, in ascending order.
  std::vector<UINT_PTR> Items() const;

 private:
  using Cell = std::map<std::string, std::string>;
  using Row = std::map<int, Cell>;
  std::map<UINT_PTR, Row> m_mapItems;
};
