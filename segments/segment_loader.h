// Loading of segments text files (one segment per line: x1 y1 x2 y2 and, in
// the files the line extractor writes, a score).
//
// The first line decides how many values make a record: it is judged on its
// first 39 characters, which must hold 4 or 5 numbers. The whole file is then
// read as one stream of numbers and cut into records of that many values,
// wherever the lines end. A token that is not a number ends the reading; the
// numbers before it must fill whole records.
#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <vector>

// The record table `Pixel`: rows of `fuzzy` floats (x1, y1, x2, y2 and, when
// `fuzzy` is 5, the fifth value), held in blocks of 256 rows.
struct SegmentTable {
    int fuzzy = 0;       // values per record, 4 or 5
    int n_segm = 0;      // complete records read
    int totale = 0;      // rows held; always at least 20 more than n_segm
    std::vector<float> Pixel;  // totale rows of fuzzy values, row after row

    const float* record(int i) const { return Pixel.data() + static_cast<std::size_t>(i) * fuzzy; }
};

// Rows the table starts with and grows by.
constexpr int segment_table_block = 256;

// Enlarges the table `vettore` of `totale` rows of `k` values by 256 zeroed
// rows and adds 256 to `totale`. Returns false, leaving both unchanged, when
// the memory cannot be had.
bool MOD_espandi(std::vector<float>& vettore, int& totale, int k);

// Plain form: the values as read. `fp` is open for binary reading; it is read
// from its start and left open. No table when the first line does not hold 4
// or 5 numbers (an empty file included), when the numbers do not fill whole
// records, or when the table cannot grow.
std::optional<SegmentTable> MOD_caricamento(std::FILE* fp);

// Row-flipping form: y1 and y2 are stored numbered from the bottom row of an
// image of `height` rows, computed in single precision as
// ((float)height - y) - 1.
std::optional<SegmentTable> MOD_caricamento(std::FILE* fp, int height);
