// ENVI headers (".hdr"): the text beside a headerless raster that gives its
// extent and sample layout. The file starts with the word ENVI; then come
// "name = value" fields, names in any case, a value in braces possibly over
// several lines. Fields other than those below are passed over.
#pragma once

#include <cstdint>
#include <string>

struct EnviHeader {
    int samples = 0;     // width in pixels
    int lines = 0;       // height in pixels
    int bands = 1;       // when absent: 1
    int data_type = 0;   // 1 byte, 2 signed 16-bit, 4 float, 12 unsigned 16-bit, ... as written
    int byte_order = 0;  // 0 little-endian, 1 big-endian; when absent: 0
    std::uint64_t header_offset = 0;  // bytes before the first sample; when absent: 0
};

enum class EnviHeaderStatus {
    ok,
    cannot_open,    // the file cannot be opened
    not_envi,       // it does not start with the word ENVI
    missing_field,  // samples, lines or data type is not given
    bad_field,      // a field's value is not a whole number in its range
};

struct EnviHeaderRead {
    EnviHeaderStatus status = EnviHeaderStatus::ok;
    std::string field;  // the field missing or unreadable
    EnviHeader header;
};

// Reads the header at `path`. samples, lines, bands and header offset must
// be whole numbers of zero or more (bands at least 1), byte order 0 or 1.
EnviHeaderRead read_envi_header(const std::string& path);

// Bytes per sample of the data types a single-band reader takes: 1 for
// type 1, 2 for types 2 and 12, 4 for type 4; 0 for any other.
int envi_sample_bytes(int data_type);
