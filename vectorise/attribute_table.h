// The dBASE III attribute table (".dbf") of the suite's shapefiles: one
// numeric field per record, in one of two forms.
//
//   Id:    field "Id", N(6,0), every record 0 (Polvane, Traskel).
//   VALUE: field "VALUE", N(26,6), one value per record (Zonrik).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

enum class AttributeTable { id, value };

// A whole-number field added after the table's own (the GIS layout's class
// and record numbers): N(width, 0), record i's value values[i], blank for
// records beyond the list and for values that do not fit.
struct IntegerColumn {
    std::string name;  // at most 10 characters
    int width = 10;
    std::vector<long long> values;
};

// The table's bytes for `records` records: header, records, end byte 0x1A.
// The VALUE form takes record i's value from values[i]; records beyond the
// list get an empty (blank) field.
std::vector<unsigned char> attribute_table_bytes(AttributeTable table, std::size_t records,
                                                 const std::vector<float>& values,
                                                 const std::vector<IntegerColumn>& columns = {});

// The 26 characters of a VALUE field: "%f" of the value with its integer
// part right-aligned before the point at character 19 and six decimals
// after it (12.5 gives 17 blanks and "12.500000"). A value that has no such
// text, an infinity or NaN, or whose integer part, sign included, is longer
// than 19 characters, gives 26 blanks: an empty field, which dBASE readers
// take as no value.
std::string value_field(float value);
