#include "envi_header.h"

#include "file.h"

#include <cctype>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

// Headers are a few hundred bytes; anything beyond this is not read.
constexpr std::size_t longest_header = 1 << 20;

std::string trimmed(const std::string& text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
    while (last > first && std::isspace(static_cast<unsigned char>(text[last - 1]))) --last;
    return text.substr(first, last - first);
}

// A field name in lower case with single blanks between its words.
std::string field_name(const std::string& text)
{
    std::string name;
    for (char c : trimmed(text)) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (name.back() != ' ') name += ' ';
        } else {
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return name;
}

// A whole number from 0 to `largest`, digits only after an optional plus.
std::optional<std::uint64_t> whole_number(const std::string& text, std::uint64_t largest)
{
    std::size_t i = text[0] == '+' ? 1 : 0;
    if (i == text.size()) return std::nullopt;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return std::nullopt;
        const auto digit = static_cast<std::uint64_t>(text[i] - '0');
        if (digit > largest || value > (largest - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return value;
}

struct Field {
    const char* name;
    std::uint64_t smallest, largest;
    bool required;
    std::optional<std::uint64_t> value;
};

}  // namespace

EnviHeaderRead read_envi_header(const std::string& path)
{
    EnviHeaderRead read;
    File file = open_file(path, "rb");
    if (!file) {
        read.status = EnviHeaderStatus::cannot_open;
        return read;
    }
    std::string text(longest_header, '\0');
    text.resize(std::fread(&text[0], 1, text.size(), file.get()));

    std::size_t at = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    if (text.compare(at, 4, "ENVI") != 0 ||
        (at + 4 < text.size() && !std::isspace(static_cast<unsigned char>(text[at + 4])))) {
        read.status = EnviHeaderStatus::not_envi;
        return read;
    }
    at += 4;

    const std::uint64_t int_max = static_cast<std::uint64_t>(std::numeric_limits<int>::max());
    const std::uint64_t offset_max = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    Field fields[] = {{"samples", 0, int_max, true, {}},    {"lines", 0, int_max, true, {}},
                      {"bands", 1, int_max, false, {}},     {"data type", 0, int_max, true, {}},
                      {"byte order", 0, 1, false, {}},      {"header offset", 0, offset_max, false, {}}};
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = field_name(line.substr(0, equals));
        std::string value = trimmed(line.substr(equals + 1));
        // A value in braces goes on to its closing brace.
        if (!value.empty() && value[0] == '{') {
            while (value.find('}') == std::string::npos && at < text.size()) {
                end = text.find('\n', at);
                if (end == std::string::npos) end = text.size();
                value += ' ' + text.substr(at, end - at);
                at = end + 1;
            }
            continue;
        }
        for (Field& field : fields) {
            if (name != field.name) continue;
            field.value = value.empty() ? std::nullopt : whole_number(value, field.largest);
            if (!field.value || *field.value < field.smallest) {
                read.status = EnviHeaderStatus::bad_field;
                read.field = field.name;
                return read;
            }
        }
    }
    for (const Field& field : fields) {
        if (field.required && !field.value) {
            read.status = EnviHeaderStatus::missing_field;
            read.field = field.name;
            return read;
        }
    }
    EnviHeader& header = read.header;
    header.samples = static_cast<int>(*fields[0].value);
    header.lines = static_cast<int>(*fields[1].value);
    header.bands = static_cast<int>(fields[2].value.value_or(1));
    header.data_type = static_cast<int>(*fields[3].value);
    header.byte_order = static_cast<int>(fields[4].value.value_or(0));
    header.header_offset = fields[5].value.value_or(0);
    return read;
}

int envi_sample_bytes(int data_type)
{
    switch (data_type) {
    case 1: return 1;
    case 2:
    case 12: return 2;
    case 4: return 4;
    default: return 0;
    }
}
