#include "number_reader.h"

#include <utility>

NumberReader::NumberReader(std::FILE* file) : text_source_(text_), file_source_(std::in_place, file) {}

NumberReader::NumberReader(std::string text) : text_(std::move(text)), text_source_(text_) {}

template <typename Source>
NumberReader::Result NumberReader::read_from(Source& in, float& value)
{
    skip_blanks(in);
    if (in.peek() < 0) return Result::end_of_input;
    std::size_t taken = 0;
    const std::size_t length = measure_number(in, NumberForm::decimal().swallowing_bare_exponent(), taken);
    if (length == 0) return Result::not_a_number;
    value = float_value(std::string_view(in.looked_at(), length));
    in.advance(taken);
    return Result::number;
}

NumberReader::Result NumberReader::read_float(float& value)
{
    return file_source_ ? read_from(*file_source_, value) : read_from(text_source_, value);
}
