#include "i18n/combo_index_memory.h"

namespace sequaflow::i18n {

void ComboIndexMemory::save(const Reader& currentIndex) {
    for (std::size_t i = 0; i < kKeptComboBoxes.size(); ++i) indices_[i] = currentIndex(kKeptComboBoxes[i]);
    saved_ = true;
}

void ComboIndexMemory::restore(const Selector& select) const {
    if (!saved_) return;
    for (std::size_t i = 0; i < kKeptComboBoxes.size(); ++i) select(kKeptComboBoxes[i], indices_[i]);
}

}  // namespace sequaflow::i18n
