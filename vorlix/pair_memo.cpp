#include "pair_memo.h"

void PairMemo::insert(const SegmentEnds& ends, double value, std::uint32_t confirmed)
{
    if (2 * (live_ + 1) > slots_.size() && slots_.size() >= most_slots) forget_all();  // full: start afresh
    if (2 * (live_ + 1) > slots_.size()) {
        // Twice as many slots, the live entries moved over.
        std::vector<Slot> old = std::move(slots_);
        slots_.assign(old.empty() ? 1024 : 2 * old.size(), Slot{{0, 0, 0, 0}, 0.0, 0, 0});
        mask_ = slots_.size() - 1;
        const std::uint32_t live_generation = generation_;
        generation_ = 1;
        live_ = 0;
        for (const Slot& slot : old)
            if (slot.generation == live_generation) insert(slot.ends, slot.value, slot.confirmed);
    }
    std::size_t i = slot_of(ends);
    while (slots_[i].generation == generation_) {
        if (slots_[i].ends == ends) {
            slots_[i].value = value;
            slots_[i].confirmed = confirmed;
            return;
        }
        i = (i + 1) & mask_;
    }
    slots_[i] = Slot{ends, value, generation_, confirmed};
    ++live_;
}
