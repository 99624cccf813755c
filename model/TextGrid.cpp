#include "model/TextGrid.h"

#include <algorithm>

namespace sheetlift {

void TextGrid::Resize(int rows, int cols) {
    rows_ = rows > 0 ? rows : 0;
    cols_ = cols > 0 ? cols : 0;
    slots_.assign(std::size_t(rows_) * std::size_t(cols_), Slot{0, 0});
    bytes_.clear();
    bytes_.shrink_to_fit();
    live_ = 0;
    long_.clear();
}

std::string_view TextGrid::Text(int i, int j) const {
    const std::size_t k = std::size_t(i) * std::size_t(cols_) + std::size_t(j);
    const Slot slot = slots_[k];
    if (slot.length == kLong)
        return long_.at(k);
    return std::string_view(bytes_).substr(slot.offset, slot.length);
}

void TextGrid::SetText(int i, int j, std::string_view text) {
    const std::size_t k = std::size_t(i) * std::size_t(cols_) + std::size_t(j);
    Slot& slot = slots_[k];
    if (slot.length == kLong)
        long_.erase(k);
    else
        live_ -= slot.length;
    if (text.size() >= kLong) {
        long_[k] = std::string(text);
        slot = {0, kLong};
        return;
    }
    slot = {0, 0};
    const std::size_t garbage = bytes_.size() - live_;
    if (garbage > std::max<std::size_t>(live_, 1 << 20)) {
        const std::string kept(text); // `text` may lie in the block that packing moves
        Pack();
        slot = {bytes_.size(), kept.size()};
        bytes_ += kept;
    } else {
        slot = {bytes_.size(), text.size()};
        bytes_ += text; // appending a piece of itself is safe
    }
    live_ += text.size();
}

void TextGrid::Pack() {
    std::string packed;
    packed.reserve(live_);
    for (Slot& slot : slots_) {
        if (slot.length == kLong)
            continue;
        const std::size_t offset = packed.size();
        packed.append(bytes_, slot.offset, slot.length);
        slot.offset = offset;
    }
    bytes_ = std::move(packed);
}

} // namespace sheetlift
