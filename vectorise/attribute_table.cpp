#include "attribute_table.h"

#include "byte_order.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int header_length = 65;
constexpr int value_field_length = 26;
constexpr int value_point_at = 20;  // position of the point in a record, the deletion flag at 0

struct TableForm {
    unsigned char year, month, day;  // last update: year - 1900
    int record_length;               // deletion flag and field
    unsigned char language_driver;
    const char* field_name;
    unsigned char field_length;
    unsigned char decimals;
};

constexpr TableForm id_form{103, 2, 5, 7, 0x57, "Id", 6, 0};
constexpr TableForm value_form{108, 10, 29, 27, 0x00, "VALUE", 26, 6};

}  // namespace

std::string value_field(float value)
{
    std::string field(value_field_length, ' ');
    if (!std::isfinite(value)) return field;
    char text[400];
    std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
    const char* point = std::strchr(text, '.');
    const std::size_t integer_digits = point ? static_cast<std::size_t>(point - text) : std::strlen(text);
    const std::size_t room = value_point_at - 1;
    if (integer_digits > room) return field;
    // Field characters are record bytes 1..26: the point is field character 19.
    const std::size_t point_in_field = value_point_at - 1;
    field[point_in_field] = '.';
    std::memcpy(&field[point_in_field - integer_digits], text, integer_digits);
    if (point) {
        const char* decimals = point + 1;
        for (std::size_t i = 0; i < 6 && decimals[i] != '\0'; ++i) field[point_in_field + 1 + i] = decimals[i];
    }
    return field;
}

namespace {

// A record's field for an integer column: right-aligned, blank when absent
// or too wide.
std::string integer_field(const IntegerColumn& column, std::size_t record)
{
    const std::size_t width = static_cast<std::size_t>(column.width);
    if (record >= column.values.size()) return std::string(width, ' ');
    const std::string text = std::to_string(column.values[record]);
    if (text.size() > width) return std::string(width, ' ');
    return std::string(width - text.size(), ' ') + text;
}

}  // namespace

std::vector<unsigned char> attribute_table_bytes(AttributeTable table, std::size_t records,
                                                 const std::vector<float>& values,
                                                 const std::vector<IntegerColumn>& columns)
{
    const TableForm& form = table == AttributeTable::id ? id_form : value_form;
    const int table_header_length = header_length + 32 * static_cast<int>(columns.size());
    int record_length = form.record_length;
    for (const IntegerColumn& column : columns) record_length += column.width;
    std::vector<unsigned char> bytes(static_cast<std::size_t>(table_header_length), 0);
    bytes[0] = 0x03;
    bytes[1] = form.year;
    bytes[2] = form.month;
    bytes[3] = form.day;
    byte_order::put_le32(&bytes[4], static_cast<std::uint32_t>(records));
    byte_order::put_le16(&bytes[8], static_cast<std::uint32_t>(table_header_length));
    byte_order::put_le16(&bytes[10], static_cast<std::uint32_t>(record_length));
    bytes[29] = form.language_driver;
    std::memcpy(&bytes[32], form.field_name, std::strlen(form.field_name));
    bytes[43] = 'N';
    bytes[48] = form.field_length;
    bytes[49] = form.decimals;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        unsigned char* descriptor = &bytes[64 + 32 * c];
        std::memcpy(descriptor, columns[c].name.data(), std::min<std::size_t>(columns[c].name.size(), 10));
        descriptor[11] = 'N';
        descriptor[16] = static_cast<unsigned char>(columns[c].width);
    }
    bytes[static_cast<std::size_t>(table_header_length) - 1] = 0x0D;

    bytes.reserve(bytes.size() + records * static_cast<std::size_t>(record_length) + 1);
    for (std::size_t r = 0; r < records; ++r) {
        bytes.push_back(' ');
        const std::string field = table == AttributeTable::id ? std::string("     0")
                                  : r < values.size()         ? value_field(values[r])
                                                              : std::string(value_field_length, ' ');
        bytes.insert(bytes.end(), field.begin(), field.end());
        for (const IntegerColumn& column : columns) {
            const std::string extra = integer_field(column, r);
            bytes.insert(bytes.end(), extra.begin(), extra.end());
        }
    }
    bytes.push_back(0x1A);
    return bytes;
}
