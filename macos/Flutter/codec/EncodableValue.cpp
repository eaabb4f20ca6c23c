#include "macos/Flutter/codec/EncodableValue.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace {

template <typename T>
int compareScalars(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

int compareDoubles(double a, double b) {
  uint64_t x, y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return compareScalars(x, y);
}

template <typename T, typename Compare>
int compareSequences(const std::vector<T>& a, const std::vector<T>& b, Compare compare) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (const int order = compare(a[i], b[i]); order != 0) return order;
  }
  return compareScalars(a.size(), b.size());
}

// The entries of a map ordered by key, then value: equal maps give equal sequences.
std::vector<const EncodableMap::Entry*> sortedEntries(const EncodableMap& map) {
  std::vector<const EncodableMap::Entry*> entries;
  entries.reserve(map.size());
  for (const auto& entry : map) entries.push_back(&entry);
  std::sort(entries.begin(), entries.end(), [](const auto* a, const auto* b) {
    const int order = compareValues(a->first, b->first);
    return order != 0 ? order < 0 : compareValues(a->second, b->second) < 0;
  });
  return entries;
}

int compareMaps(const EncodableMap& a, const EncodableMap& b) {
  if (a.size() != b.size()) return compareScalars(a.size(), b.size());
  const auto x = sortedEntries(a);
  const auto y = sortedEntries(b);
  for (size_t i = 0; i < x.size(); ++i) {
    if (int order = compareValues(x[i]->first, y[i]->first); order != 0) return order;
    if (int order = compareValues(x[i]->second, y[i]->second); order != 0) return order;
  }
  return 0;
}

struct Comparer {
  const EncodableValue& other;
  int operator()(const std::monostate&) const { return 0; }
  int operator()(const double& value) const {
    return compareDoubles(value, std::get<double>(other));
  }
  int operator()(const std::vector<double>& value) const {
    return compareSequences(value, std::get<std::vector<double>>(other), compareDoubles);
  }
  int operator()(const std::vector<float>& value) const {
    return compareSequences(value, std::get<std::vector<float>>(other),
                            [](float a, float b) { return compareDoubles(a, b); });
  }
  int operator()(const EncodableList& value) const {
    return compareSequences(value, std::get<EncodableList>(other), compareValues);
  }
  int operator()(const EncodableMap& value) const {
    return compareMaps(value, std::get<EncodableMap>(other));
  }
  int operator()(const CustomEncodableValue& value) const {
    const auto& that = std::get<CustomEncodableValue>(other);
    if (value.type != that.type) return compareScalars(value.type, that.type);
    return compareValues(*value.value, *that.value);
  }
  template <typename T>
  int operator()(const T& value) const {
    return compareScalars(value, std::get<T>(other));
  }
};

}  // namespace

int compareValues(const EncodableValue& a, const EncodableValue& b) {
  if (a.index() != b.index()) return compareScalars(a.index(), b.index());
  return std::visit(Comparer{b}, a.variant());
}

bool operator==(const EncodableValue& a, const EncodableValue& b) {
  return compareValues(a, b) == 0;
}

std::optional<int64_t> EncodableValue::integer() const {
  if (const auto* value = std::get_if<int32_t>(this)) return *value;
  if (const auto* value = std::get_if<int64_t>(this)) return *value;
  return std::nullopt;
}

EncodableMap::EncodableMap(std::initializer_list<Entry> entries) {
  for (const auto& entry : entries) set(entry.first, entry.second);
}

void EncodableMap::set(EncodableValue key, EncodableValue value) {
  for (auto& entry : entries_) {
    if (entry.first == key) {
      entry.second = std::move(value);
      return;
    }
  }
  entries_.push_back(Entry{std::move(key), std::move(value)});
}

void EncodableMap::append(EncodableValue key, EncodableValue value) {
  entries_.push_back(Entry{std::move(key), std::move(value)});
}

void EncodableMap::removeDuplicateKeys() {
  if (entries_.size() < 2) return;
  std::vector<size_t> order(entries_.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
    return compareValues(entries_[a].first, entries_[b].first) < 0;
  });
  std::vector<bool> keep(entries_.size(), true);
  bool duplicates = false;
  for (size_t i = 0; i < order.size();) {
    size_t j = i + 1;
    while (j < order.size() &&
           compareValues(entries_[order[i]].first, entries_[order[j]].first) == 0)
      ++j;
    if (j - i > 1) {
      // The last value of the key wins, at the place where the key first appeared.
      duplicates = true;
      entries_[order[i]].second = std::move(entries_[order[j - 1]].second);
      for (size_t k = i + 1; k < j; ++k) keep[order[k]] = false;
    }
    i = j;
  }
  if (!duplicates) return;
  std::vector<Entry> kept;
  kept.reserve(entries_.size());
  for (size_t i = 0; i < entries_.size(); ++i)
    if (keep[i]) kept.push_back(std::move(entries_[i]));
  entries_ = std::move(kept);
}

const EncodableValue* EncodableMap::find(const EncodableValue& key) const {
  for (const auto& entry : entries_)
    if (entry.first == key) return &entry.second;
  return nullptr;
}

const EncodableValue* EncodableMap::find(const char* key) const {
  for (const auto& entry : entries_) {
    const auto* text = entry.first.string();
    if (text != nullptr && *text == key) return &entry.second;
  }
  return nullptr;
}

bool operator==(const EncodableMap& a, const EncodableMap& b) { return compareMaps(a, b) == 0; }

CustomEncodableValue::CustomEncodableValue(uint8_t typeByte, EncodableValue carried)
    : type(typeByte), value(std::make_shared<const EncodableValue>(std::move(carried))) {}

bool operator==(const CustomEncodableValue& a, const CustomEncodableValue& b) {
  return a.type == b.type && *a.value == *b.value;
}
