// What the candidate search has found out about pairs of end points: a
// bounded open-addressing table of values, each with the mask state it was
// last confirmed in. When the table is full it starts afresh (a new
// generation; nothing is cleared).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

struct SegmentEnds {
    int x1, y1, x2, y2;
    bool operator==(const SegmentEnds& o) const { return x1 == o.x1 && y1 == o.y1 && x2 == o.x2 && y2 == o.y2; }
};

class PairMemo {
public:
    struct Known {
        double value;
        std::uint32_t confirmed;  // the mask state it was last confirmed in
    };

    std::optional<Known> find(const SegmentEnds& ends) const
    {
        if (slots_.empty()) return std::nullopt;
        for (std::size_t i = slot_of(ends);; i = (i + 1) & mask_) {
            const Slot& slot = slots_[i];
            if (slot.generation != generation_) return std::nullopt;
            if (slot.ends == ends) return Known{slot.value, slot.confirmed};
        }
    }

    // Enters or replaces the value of the pair.
    void insert(const SegmentEnds& ends, double value, std::uint32_t confirmed);

    // Every entry lapses.
    void forget_all()
    {
        ++generation_;
        live_ = 0;
        if (generation_ == 0) {  // the stamps wrapped: no old stamp may match again
            for (Slot& slot : slots_) slot.generation = 0;
            generation_ = 1;
        }
    }

private:
    // Beyond this the table starts afresh rather than grow: 512 KB, which
    // stays in the cache; a larger one loses more to misses than it saves.
    static constexpr std::size_t most_slots = std::size_t{1} << 14;

    struct Slot {
        SegmentEnds ends;
        double value;
        std::uint32_t generation;  // live when equal to the table's
        std::uint32_t confirmed;
    };

    std::size_t slot_of(const SegmentEnds& e) const
    {
        std::uint64_t h = static_cast<std::uint32_t>(e.x1);
        for (int v : {e.y1, e.x2, e.y2}) h = h * 0x9E3779B97F4A7C15ULL + static_cast<std::uint32_t>(v);
        return static_cast<std::size_t>((h ^ (h >> 29)) * 0xBF58476D1CE4E5B9ULL >> 20) & mask_;
    }

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    std::size_t live_ = 0;
    std::uint32_t generation_ = 1;
};
