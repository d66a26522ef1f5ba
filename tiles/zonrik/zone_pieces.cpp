#include "zone_pieces.h"

#include <cstdio>

PieceWriter::PieceWriter(const std::string& path) : file_(open_file(path, "wb")), good_(static_cast<bool>(file_)) {}

void PieceWriter::write(std::int64_t zone, const std::vector<float>& values)
{
    if (!good_) return;
    const std::int64_t header[2] = {zone, static_cast<std::int64_t>(values.size())};
    good_ = std::fwrite(header, sizeof header, 1, file_.get()) == 1 &&
            std::fwrite(values.data(), sizeof(float), values.size(), file_.get()) == values.size();
}

bool PieceWriter::finish()
{
    if (!file_) return false;
    const bool closed = std::fclose(file_.release()) == 0;
    return good_ && closed;
}

PieceReader::PieceReader(const std::string& path) : path_(path), file_(open_file(path, "rb"))
{
    if (!file_) throw PieceError("the tile's values '" + path + "' cannot be opened");
    read_header();
}

void PieceReader::read_header()
{
    std::int64_t header[2];
    const std::size_t got = std::fread(header, 1, sizeof header, file_.get());
    if (got == 0 && std::feof(file_.get())) {
        next_zone_ = -1;
        return;
    }
    if (got != sizeof header || header[0] < 0 || header[1] < 0)
        throw PieceError("the tile's values '" + path_ + "' are cut short");
    next_zone_ = header[0];
    next_count_ = header[1];
}

void PieceReader::take(std::int64_t zone, std::vector<float>& values)
{
    if (next_zone_ != zone)
        throw PieceError("the tile's values '" + path_ + "' hold no piece of zone " + std::to_string(zone + 1));
    values.resize(static_cast<std::size_t>(next_count_));
    if (std::fread(values.data(), sizeof(float), values.size(), file_.get()) != values.size())
        throw PieceError("the tile's values '" + path_ + "' are cut short");
    read_header();
}

bool interleave_pieces(const std::vector<std::int64_t>& tile_of_pixel,
                       const std::map<std::int64_t, std::vector<float>>& pieces, std::vector<float>& values)
{
    std::map<std::int64_t, std::size_t> used;
    for (const auto& piece : pieces) used[piece.first] = 0;
    values.clear();
    values.reserve(tile_of_pixel.size());
    for (const std::int64_t tile : tile_of_pixel) {
        const auto piece = pieces.find(tile);
        if (piece == pieces.end() || used[tile] == piece->second.size()) return false;
        values.push_back(piece->second[used[tile]++]);
    }
    for (const auto& piece : pieces)
        if (used[piece.first] != piece.second.size()) return false;
    return true;
}
