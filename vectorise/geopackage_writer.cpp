#include "geopackage_writer.h"

#include "gdal_session.h"
#include "ring_orientation.h"
#include "shapefile_writer.h"
#include "spatial_reference.h"

#include <gdal_priv.h>
#include <ogr_feature.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Features written between two commits.
constexpr int features_per_transaction = 100000;

// The vertices begin .. end of a record as a ring or line, in map units,
// reversed when asked (a closed ring keeps its first vertex).
template <typename Curve>
void set_vertices(Curve& curve, const double* xy, std::size_t begin, std::size_t end, bool reversed,
                  const PixelToMap& to_map)
{
    const int count = static_cast<int>(end - begin);
    curve.setNumPoints(count, FALSE);
    for (int i = 0; i < count; ++i) {
        const std::size_t v = reversed ? end - 1 - static_cast<std::size_t>(i) : begin + static_cast<std::size_t>(i);
        curve.setPoint(i, to_map.x(xy[2 * v]), to_map.y(xy[2 * v + 1]));
    }
}

// Whether the pixel centre (px, py) lies inside ring p (even-odd). Ring
// vertices are whole numbers, so a pixel centre is never on an edge.
bool pixel_centre_inside(const RecordRings& rings, std::int32_t p, double px, double py)
{
    bool inside = false;
    const std::size_t begin = rings.ring_begin(p), end = rings.ring_end(p);
    for (std::size_t v = begin; v + 1 < end; ++v) {
        const double x1 = rings.xy[2 * v], y1 = rings.xy[2 * v + 1];
        const double x2 = rings.xy[2 * v + 2], y2 = rings.xy[2 * v + 3];
        if ((y1 > py) != (y2 > py) && x1 + (py - y1) * (x2 - x1) / (y2 - y1) < px) inside = !inside;
    }
    return inside;
}

// A pixel centre strictly inside ring p: up and to the right of the lowest
// vertex of its leftmost side.
std::pair<double, double> inner_pixel_centre(const RecordRings& rings, std::int32_t p)
{
    const std::size_t begin = rings.ring_begin(p), end = rings.ring_end(p);
    double x = rings.xy[2 * begin], y = rings.xy[2 * begin + 1];
    for (std::size_t v = begin + 1; v < end; ++v) {
        const double vx = rings.xy[2 * v], vy = rings.xy[2 * v + 1];
        if (vx < x || (vx == x && vy < y)) x = vx, y = vy;
    }
    return {x + 0.5, y + 0.5};
}

struct Box {
    double x_min, y_min, x_max, y_max;
    bool contains(double x, double y) const { return x > x_min && x < x_max && y > y_min && y < y_max; }
};

Box ring_box(const RecordRings& rings, std::int32_t p)
{
    Box box{std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    for (std::size_t v = rings.ring_begin(p); v < rings.ring_end(p); ++v) {
        box.x_min = std::min(box.x_min, rings.xy[2 * v]);
        box.x_max = std::max(box.x_max, rings.xy[2 * v]);
        box.y_min = std::min(box.y_min, rings.xy[2 * v + 1]);
        box.y_max = std::max(box.y_max, rings.xy[2 * v + 1]);
    }
    return box;
}

// For every ring, the outer ring whose polygon it belongs to: itself for an
// outer ring (or island); for a hole, the smallest outer ring around it
// (-1 when none is: the hole then stands as a polygon of its own).
std::vector<std::int32_t> polygon_owners(const RecordRings& rings, const std::vector<std::uint8_t>& parities,
                                         const std::vector<double>& areas)
{
    std::vector<std::int32_t> outers;
    for (std::int32_t p = 0; p < rings.parts; ++p)
        if (parities[static_cast<std::size_t>(p)] == 0) outers.push_back(p);
    std::vector<Box> boxes;
    if (outers.size() > 1)
        for (std::int32_t o : outers) boxes.push_back(ring_box(rings, o));

    std::vector<std::int32_t> owners(static_cast<std::size_t>(rings.parts), -1);
    for (std::int32_t p = 0; p < rings.parts; ++p) {
        if (parities[static_cast<std::size_t>(p)] == 0) {
            owners[static_cast<std::size_t>(p)] = p;
        } else if (outers.size() == 1) {
            owners[static_cast<std::size_t>(p)] = outers.front();
        } else if (rings.ring_end(p) > rings.ring_begin(p)) {
            const auto [px, py] = inner_pixel_centre(rings, p);
            double smallest = std::numeric_limits<double>::infinity();
            for (std::size_t i = 0; i < outers.size(); ++i) {
                const std::int32_t o = outers[i];
                const double area = std::fabs(areas[static_cast<std::size_t>(o)]);
                if (area < smallest && boxes[i].contains(px, py) && pixel_centre_inside(rings, o, px, py)) {
                    smallest = area;
                    owners[static_cast<std::size_t>(p)] = o;
                }
            }
        }
    }
    return owners;
}

std::unique_ptr<OGRGeometry> polygon_geometry(const RecordRings& rings, const PixelToMap& to_map)
{
    auto geometry = std::make_unique<OGRMultiPolygon>();
    const std::vector<std::uint8_t> parities = ring_nesting_parities(rings);
    std::vector<double> areas(static_cast<std::size_t>(rings.parts));
    for (std::int32_t p = 0; p < rings.parts; ++p) areas[static_cast<std::size_t>(p)] = twice_signed_area(rings, p);
    const std::vector<std::int32_t> owners = polygon_owners(rings, parities, areas);

    // Rings turned to counter-clockwise (polygon boundaries) or clockwise
    // (holes); rings that enclose nothing stay as they are.
    auto make_ring = [&](std::int32_t p, bool counter_clockwise) {
        auto ring = std::make_unique<OGRLinearRing>();
        const double area = areas[static_cast<std::size_t>(p)];
        const bool reversed = counter_clockwise ? area < 0 : area > 0;
        set_vertices(*ring, rings.xy, rings.ring_begin(p), rings.ring_end(p), reversed, to_map);
        return ring;
    };
    std::vector<std::unique_ptr<OGRPolygon>> polygons(static_cast<std::size_t>(rings.parts));
    for (std::int32_t p = 0; p < rings.parts; ++p) {
        const std::int32_t owner = owners[static_cast<std::size_t>(p)];
        if (owner == p || owner < 0) {
            polygons[static_cast<std::size_t>(p)] = std::make_unique<OGRPolygon>();
            polygons[static_cast<std::size_t>(p)]->addRingDirectly(make_ring(p, true).release());
        }
    }
    for (std::int32_t p = 0; p < rings.parts; ++p) {
        const std::int32_t owner = owners[static_cast<std::size_t>(p)];
        if (owner != p && owner >= 0)
            polygons[static_cast<std::size_t>(owner)]->addRingDirectly(make_ring(p, false).release());
    }
    for (auto& polygon : polygons)
        if (polygon) geometry->addGeometryDirectly(polygon.release());
    return geometry;
}

std::unique_ptr<OGRGeometry> polyline_geometry(const RecordRings& parts, const PixelToMap& to_map)
{
    auto geometry = std::make_unique<OGRMultiLineString>();
    for (std::int32_t p = 0; p < parts.parts; ++p) {
        auto line = std::make_unique<OGRLineString>();
        set_vertices(*line, parts.xy, parts.ring_begin(p), parts.ring_end(p), false, to_map);
        geometry->addGeometryDirectly(line.release());
    }
    return geometry;
}

}  // namespace

struct GeoPackageWriter::State {
    std::string path;
    GeoPackageLayout layout;
    PixelToMap to_map{};
    GdalDataset dataset;
    OGRLayer* layer = nullptr;
    int uncommitted = 0;
};

GeoPackageWriter::GeoPackageWriter() = default;

GeoPackageWriter::~GeoPackageWriter()
{
    abandon();
}

GeoProblem GeoPackageWriter::abandon(GeoProblem problem)
{
    if (!state_) return problem;
    GdalErrorCapture capture;
    state_->dataset.reset();
    remove_gdal_output(state_->path);
    state_.reset();
    return problem;
}

GeoProblem GeoPackageWriter::create(const std::string& path, const GeoPackageLayout& layout)
{
    state_.reset();
    GdalErrorCapture capture;
    auto state = std::make_unique<State>();
    state->path = path;
    state->layout = layout;
    state->to_map = {writer_extent(layout.world, layout.width, layout.height), layout.width, layout.height};

    // Without a CRS the layer is the GeoPackage's "undefined Cartesian" one
    // (not its undefined geographic one): pixel units, or map units of an
    // unknown system.
    OGRSpatialReference srs;
    if (layout.crs_wkt.empty())
        srs.SetLocalCS("Undefined Cartesian SRS");
    else if (GeoProblem problem = parse_crs(layout.crs_wkt, srs))
        return problem;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    if (!driver) return {GeoProblem::Kind::write_failed, path, "GDAL has no GeoPackage driver"};
    remove_gdal_output(path);
    state->dataset.reset(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
    if (!state->dataset) return capture.problem(GeoProblem::Kind::write_failed, path);
    // From here on a failure removes the file (abandon).
    state_ = std::move(state);
    const OGRwkbGeometryType type =
        layout.shape_type == shape_type_polyline ? wkbMultiLineString : wkbMultiPolygon;
    // GeoPackage reserves the layer names that begin with "gpkg".
    std::string layer_name = layout.layer_name;
    if (EQUALN(layer_name.c_str(), "gpkg", 4)) layer_name.insert(0, "_");
    state_->layer = state_->dataset->CreateLayer(layer_name.c_str(), &srs, type, nullptr);
    bool ok = state_->layer != nullptr;
    for (std::size_t f = 0; ok && f < layout.fields.size(); ++f) {
        OGRFieldDefn field(layout.fields[f].name.c_str(),
                           layout.fields[f].type == FieldType::integer ? OFTInteger64 : OFTReal);
        ok = state_->layer->CreateField(&field) == OGRERR_NONE;
    }
    ok = ok && state_->dataset->StartTransaction() == OGRERR_NONE;
    if (!ok) return abandon(capture.problem(GeoProblem::Kind::write_failed, state_->path));
    return {};
}

GeoProblem GeoPackageWriter::append(const RecordArrays& records, const FieldColumns& columns)
{
    if (!state_) return {GeoProblem::Kind::write_failed, "", "no GeoPackage is open"};
    const std::vector<RecordArrays::Layout> layouts = records.record_layouts();
    GdalErrorCapture capture;
    State& state = *state_;
    const bool polygons = state.layout.shape_type != shape_type_polyline;
    OGRFeatureDefn* definition = state.layer->GetLayerDefn();
    for (std::size_t r = 0; r < layouts.size(); ++r) {
        const RecordArrays::Layout& record = layouts[r];
        const RecordRings rings{records.point.data() + record.point_index,
                                records.part.data() + record.part_index + 2, record.parts, record.points};
        OGRFeature feature(definition);
        feature.SetGeometryDirectly(
            (polygons ? polygon_geometry(rings, state.to_map) : polyline_geometry(rings, state.to_map)).release());
        for (std::size_t f = 0; f < state.layout.fields.size() && f < columns.size(); ++f) {
            if (r >= columns[f].size()) continue;
            const double value = columns[f][r];
            const int index = static_cast<int>(f);
            if (state.layout.fields[f].type == FieldType::real)
                feature.SetField(index, value);
            else if (std::isfinite(value))
                feature.SetField(index, static_cast<GIntBig>(std::llround(value)));
        }
        bool ok = state.layer->CreateFeature(&feature) == OGRERR_NONE;
        if (ok && ++state.uncommitted == features_per_transaction) {
            state.uncommitted = 0;
            ok = state.dataset->CommitTransaction() == OGRERR_NONE && state.dataset->StartTransaction() == OGRERR_NONE;
        }
        if (!ok) return abandon(capture.problem(GeoProblem::Kind::write_failed, state_->path));
    }
    return {};
}

GeoProblem GeoPackageWriter::finish()
{
    if (!state_) return {GeoProblem::Kind::write_failed, "", "no GeoPackage is open"};
    GdalErrorCapture capture;
    bool ok = state_->dataset->CommitTransaction() == OGRERR_NONE;
    state_->dataset.reset();  // closed: the spatial index is built
    if (!ok || capture.failed()) return abandon(capture.problem(GeoProblem::Kind::write_failed, state_->path));
    state_.reset();
    return {};
}
