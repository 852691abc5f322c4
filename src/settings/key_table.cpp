#include "settings/key_table.h"

namespace Settings {

KeyTable::KeyTable() { index_.fill(-1); }

bool KeyTable::add(Entry entry) {
    const int key = entry.key;
    if (key < 0 || key >= kKeyCount || index_[key] >= 0) {
        rejected_.append(key);
        return false;
    }
    index_[key] = int(entries_.size());
    entries_.push_back(std::move(entry));
    return true;
}

const Entry* KeyTable::find(int key) const {
    if (key < 0 || key >= kKeyCount || index_[key] < 0) return nullptr;
    return &entries_[size_t(index_[key])];
}

}  // namespace Settings
