#include "reference_filter.h"

#include "direction_table.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace reference {

namespace {

void say(std::string& console, const char* format, ...)
{
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    console += buffer;
}

struct P {
    int x, y;
};

// Linear membership: the first n entries of the list.
bool check(const std::vector<P>& punto, std::size_t n, int x, int y)
{
    for (std::size_t i = 0; i < n; ++i)
        if (punto[i].x == x && punto[i].y == y) return true;
    return false;
}

const int nx8[8] = {-1, 0, 1, -1, 1, -1, 0, 1};
const int ny8[8] = {-1, -1, -1, 0, 0, 1, 1, 1};

// The blob growth of the candidate mask from an inner seed: only inner
// points are grown from; ends once the list is longer than the limit.
std::vector<P> grow_blob(const Grid<std::uint8_t>& comb, int x, int y, long long limit, bool& passed)
{
    const int W = comb.width(), H = comb.height();
    std::vector<P> punto{{x, y}};
    std::size_t count = 1, next = 0;
    passed = false;
    while (next < count && !passed) {
        const P c = punto[next];
        if (c.x > 0 && c.x < W - 1 && c.y > 0 && c.y < H - 1)
            for (int i = 0; i < 8; ++i) {
                const int xx = c.x + nx8[i], yy = c.y + ny8[i];
                if (comb(xx, yy) != 255 && !check(punto, count, xx, yy)) {
                    punto.push_back({xx, yy});
                    ++count;
                }
            }
        if (static_cast<long long>(count) > limit) passed = true;
        ++next;
    }
    return punto;
}

}  // namespace

// The table of one radius alone (the fast filter reads prefixes of one table
// generated for its largest radius).
Offsets direction_table(int r)
{
    const DirectionTable table(r);
    Offsets o;
    o.offset_dx.resize(180);
    o.offset_dy.resize(180);
    o.num_offset.resize(180);
    for (int a = 0; a < 180; ++a) {
        o.num_offset[a] = table.num_offset(a, r);
        for (int k = 0; k < o.num_offset[a]; ++k) {
            o.offset_dx[a].push_back(table.offsets(a)[k].dx);
            o.offset_dy[a].push_back(table.offsets(a)[k].dy);
        }
    }
    return o;
}

Transforms transforms(const Grid<std::uint8_t>& img, int r)
{
    const int W = img.width(), H = img.height();
    const Offsets o = direction_table(r);
    Transforms t;
    t.direzione.resize(W, H, 255);
    t.minima_radianza.resize(W, H, 0);
    t.scarto_radianza.resize(W, H, 0);
    double media_dir[180];
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            for (int a = 0; a < 180; ++a) {
                double sum = 0;
                int count = 0;
                for (int k = 0; k < o.num_offset[a]; ++k) {
                    const int dx = o.offset_dx[a][k], dy = o.offset_dy[a][k];
                    if (x + dx >= 0 && x + dx < W && y + dy >= 0 && y + dy < H) {
                        sum += img(x + dx, y + dy);
                        ++count;
                    }
                    if (x - dx >= 0 && x - dx < W && y - dy >= 0 && y - dy < H) {
                        sum += img(x - dx, y - dy);
                        ++count;
                    }
                }
                media_dir[a] = count > 0 ? sum / count : 0;
            }
            double m = 999;
            int best = 0;
            for (int a = 0; a < 180; ++a)
                if (media_dir[a] < m) {
                    m = media_dir[a];
                    best = a;
                }
            double total = 0;
            for (int a = 0; a < 180; ++a) total += media_dir[a];
            const double mean = total / 180;
            t.minima_radianza(x, y) = static_cast<std::uint8_t>(static_cast<int>(m));
            t.scarto_radianza(x, y) = static_cast<std::uint8_t>(static_cast<int>(mean - m));
            t.direzione(x, y) = static_cast<std::uint8_t>(best);
            if (t.minima_radianza(x, y) > t.max_min) t.max_min = t.minima_radianza(x, y);
            if (t.scarto_radianza(x, y) > t.max_scarto) t.max_scarto = t.scarto_radianza(x, y);
        }
    }
    return t;
}

void remove_small_blobs(Grid<std::uint8_t>& comb, int limit)
{
    for (int y = 1; y < comb.height() - 1; ++y)
        for (int x = 1; x < comb.width() - 1; ++x) {
            if (comb(x, y) == 255) continue;
            bool passed;
            const std::vector<P> punto = grow_blob(comb, x, y, limit, passed);
            if (!passed)
                for (const P& q : punto) comb(q.x, q.y) = 255;
        }
}

void reclassify_blobs(Grid<std::uint8_t>& comb, const Grid<std::uint8_t>& img, const Grid<std::uint8_t>& mn,
                      const Grid<std::uint8_t>& sc, const VorlixParameters& p)
{
    const int W = comb.width(), H = comb.height();
    long long n = 0;
    double s_img = 0, s_min = 0, s_sc = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (comb(x, y) == 0) {
                ++n;
                s_img += img(x, y);
                s_min += mn(x, y);
                s_sc += sc(x, y);
            }
    const double g_img = s_img / n, g_min = s_min / n, g_sc = s_sc / n;
    for (int y = 1; y < H - 1; ++y)
        for (int x = 1; x < W - 1; ++x) {
            if (comb(x, y) != 0) continue;
            bool passed;
            const std::vector<P> punto = grow_blob(comb, x, y, p.par_blob_max, passed);
            const double count = static_cast<double>(punto.size());
            double a = 0, b = 0, c = 0;
            for (const P& q : punto) {
                a += img(q.x, q.y);
                b += mn(q.x, q.y);
                c += sc(q.x, q.y);
                comb(q.x, q.y) = 10;
            }
            a /= count;
            b /= count;
            c /= count;
            if (a > p.par_reclass_source * g_img)
                for (const P& q : punto) comb(q.x, q.y) = 120;
            if (b > p.par_reclass_minrad * g_min)
                for (const P& q : punto) comb(q.x, q.y) = 140;
            if (c > p.par_reclass_varrad * g_sc)
                for (const P& q : punto) comb(q.x, q.y) = 160;
        }
}

Grid<std::uint8_t> detect_lines(const Grid<std::uint8_t>& img, const VorlixParameters& p, std::string& console)
{
    const int W = img.width(), H = img.height();
    Grid<std::uint8_t> finale(W, H, 255);
    for (int r = p.par_min_raggio; r <= p.par_max_raggio; r += p.par_step_raggio) {
        say(console, "\nCalcolo trasformate (raggio = %d):\n", r);
        for (int y = 0; y < H; ++y) {
            if (y % 10 == 0 && y != 0) say(console, ".");
            if (y % 50 == 0) say(console, " %.0f%% ", static_cast<double>((float)(y * 100) / (float)H));
        }
        Transforms t = transforms(img, r);
        say(console, " 100%% COMPLETED\n");
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                int v = t.scarto_radianza(x, y);
                int s = t.max_scarto == 0 ? 0 : static_cast<int>(std::floor(255.0 / t.max_scarto * v + 0.5));
                t.scarto_radianza(x, y) = static_cast<std::uint8_t>(255 - s);
                v = t.minima_radianza(x, y);
                s = t.max_min == 0 ? 0 : static_cast<int>(std::floor(255.0 / t.max_min * v + 0.5));
                t.minima_radianza(x, y) = static_cast<std::uint8_t>(s);
            }
        say(console, "\n");
        const double soglia_min = std::floor(r / 10.0) / 100 + p.par_soglia_minrad;
        const double soglia_var = std::floor(r / 20.0) / 100 + p.par_soglia_varrad;
        const double soglia_ang = p.par_soglia_ang - r / 5.0;
        const double tol = 12 - r / 5.0;
        say(console, "\n");
        const int Q = p.par_quadrosoglia, h = Q / 2;
        Grid<std::uint8_t> m_ang(W, H, 255), m_min(W, H, 255), m_var(W, H, 255), comb(W, H, 255);
        say(console, "Sogliatura della trasformata angolare:");
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                int agree = 0, disagree = 0;
                for (int yy = y - Q; yy <= y + Q; ++yy)
                    for (int xx = x - Q; xx <= x + Q; ++xx) {
                        if (xx < 0 || yy < 0 || xx >= W || yy >= H) continue;
                        int d = std::abs(t.direzione(xx, yy) - t.direzione(x, y)) % 90;
                        if (d > 45) d = 90 - d;
                        if (tol >= d)
                            ++agree;
                        else
                            ++disagree;
                    }
                const double score = 255 - 255.0 * agree / (agree + disagree);
                if (soglia_ang > score) m_ang(x, y) = 0;
            }
        say(console, " 100%% COMPLETED\n");
        auto local = [&](const Grid<std::uint8_t>& g, int x, int y) {
            double sum = 0;
            int n = 0;
            for (int yy = y - h; yy <= y + h; ++yy)
                for (int xx = x - h; xx <= x + h; ++xx)
                    if (xx >= 0 && yy >= 0 && xx < W && yy < H) {
                        sum += g(xx, yy);
                        ++n;
                    }
            return sum / n;
        };
        say(console, "Sogliatura della trasformata minima-radianza:");
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (local(t.minima_radianza, x, y) * soglia_min > t.minima_radianza(x, y)) m_min(x, y) = 0;
        say(console, " 100%% COMPLETED\n");
        say(console, "Sogliatura della trasformata scarto-radianza:");
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (local(t.scarto_radianza, x, y) * soglia_var > t.scarto_radianza(x, y) &&
                    t.scarto_radianza(x, y) <= 199)
                    m_var(x, y) = 0;
        say(console, " 100%% COMPLETED\n");
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (m_ang(x, y) == 0 && m_min(x, y) == 0 && m_var(x, y) == 0) comb(x, y) = 0;
        remove_small_blobs(comb, p.par_min_blob);
        reclassify_blobs(comb, img, t.minima_radianza, t.scarto_radianza, p);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (comb(x, y) == 10) finale(x, y) = 0;
    }
    return finale;
}

void clean_line_mask(Grid<std::uint8_t>& im)
{
    const int W = im.width(), H = im.height();
    Grid<std::uint8_t> fin = im;
    // Ring clockwise from the top left: TL T TR R BR B BL L.
    const int rx[8] = {-1, 0, 1, 1, 1, 0, -1, -1};
    const int ry[8] = {-1, -1, -1, 0, 1, 1, 1, 0};
    auto zero = [&](int x, int y, int i) { return fin(x + rx[i], y + ry[i]) == 0; };
    auto all = [&](int x, int y, std::initializer_list<int> pos) {
        for (int i : pos)
            if (!zero(x, y, i)) return false;
        return true;
    };
    enum { TL, T, TR, R, BR, B, BL, L };
    for (int pass = 0; pass < 4; ++pass) {
        for (int y = 1; y < H - 1; ++y)
            for (int x = 1; x < W - 1; ++x) {
                if (fin(x, y) != 255) continue;
                int score = 0;
                if (all(x, y, {TL, T, TR, R})) score += 10;
                if (all(x, y, {R, BR, B, BL})) score += 10;
                if (all(x, y, {BR, B, BL, L})) score += 10;
                if (all(x, y, {L, TL, T, TR})) score += 10;
                if (all(x, y, {T, TR, R, BR})) score += 1;
                if (all(x, y, {TR, R, BR, B})) score += 1;
                if (all(x, y, {B, BL, L, TL})) score += 1;
                if (all(x, y, {BL, L, TL, T})) score += 1;
                if (score > 9) {
                    int a = 1;
                    while (fin(x + a, y) != 0 && x + a != W - 1) ++a;
                    int b = 1;
                    while (fin(x - b, y) != 0 && x - b != 0) ++b;
                    if (a + b <= 3) im(x, y) = 0;
                }
                if (score % 10 != 0) {
                    int a = 1;
                    while (fin(x, y + a) != 0 && y + a != H - 1) ++a;
                    int b = 1;
                    while (fin(x, y - b) != 0 && y - b != 0) ++b;
                    if (a + b <= 3) im(x, y) = 0;
                }
            }
        fin = im;
    }
    bool changed = true;
    while (changed) {
        changed = false;
        for (int y = 1; y < H - 1; ++y)
            for (int x = 1; x < W - 1; ++x) {
                if (fin(x, y) != 255) continue;
                if (all(x, y, {L, TL, T, TR, R}) || all(x, y, {T, TR, R, BR, B}) || all(x, y, {R, BR, B, BL, L}) ||
                    all(x, y, {B, BL, L, TL, T})) {
                    im(x, y) = 0;
                    changed = true;
                }
            }
        fin = im;
    }
    std::vector<P> punto;
    for (int y = 1; y < H - 1; ++y)
        for (int x = 1; x < W - 1; ++x) {
            if (im(x, y) == 0) continue;
            punto.assign(1, P{x, y});
            std::size_t count = 1, next = 0;
            bool large = false;
            while (next < count && !large) {
                const P c = punto[next];
                if (c.x < 1 || c.y < 1 || c.x >= W - 1 || c.y >= H - 1) {
                    large = true;
                    break;
                }
                for (int i = 0; i < 8; ++i) {
                    const int xx = c.x + nx8[i], yy = c.y + ny8[i];
                    if (im(xx, yy) != 0 && !check(punto, count, xx, yy)) {
                        punto.push_back({xx, yy});
                        ++count;
                    }
                }
                if (count > 20) large = true;
                ++next;
            }
            if (!large)
                for (const P& q : punto) im(q.x, q.y) = 0;
        }
}

namespace {

struct SP {
    int x, y, larg_v, larg_o;
};

int calc_punt_seg(int x1, int y1, int x2, int y2, std::vector<SP>& ps)
{
    ps.clear();
    if (y2 < y1) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    if (x1 == x2) {
        for (int i = 0; i <= y2 - y1; ++i) ps.push_back({x1, y1 + i, 0, 0});
        return static_cast<int>(ps.size());
    }
    const double s = std::fabs(static_cast<double>(y2 - y1) / static_cast<double>(x2 - x1));
    if (s <= 1) {
        for (int i = 0; i <= std::abs(x2 - x1); ++i)
            ps.push_back({x2 < x1 ? x1 - i : x1 + i, y1 + static_cast<int>(std::floor(i * s + 0.5)), 0, 0});
    } else {
        for (int i = 0; i <= y2 - y1; ++i) {
            const int d = static_cast<int>(std::floor(i * (1 / s) + 0.5));
            ps.push_back({x2 < x1 ? x1 - d : x1 + d, y1 + i, 0, 0});
        }
    }
    return static_cast<int>(ps.size());
}

}  // namespace

std::vector<std::pair<int, int>> segment_points(int x1, int y1, int x2, int y2)
{
    std::vector<SP> ps;
    calc_punt_seg(x1, y1, x2, y2, ps);
    std::vector<std::pair<int, int>> points;
    for (const SP& p : ps) points.emplace_back(p.x, p.y);
    return points;
}

namespace {

struct Extractor {
    Grid<std::uint8_t>& im;
    Grid<std::uint8_t> copia, raggiunto;
    int W, H;
    std::string& console;
    std::vector<Segment> out;

    struct E {
        int x, y, lato;
    };
    struct Seg {
        int x1, y1, x2, y2;
        double rapporto, punteggio;
    };

    Extractor(Grid<std::uint8_t>& m, std::string& c)
        : im(m), copia(m), raggiunto(m.width(), m.height(), 255), W(m.width()), H(m.height()), console(c)
    {
    }

    int run_len(int x, int y, int sx, int sy)
    {
        int n = 0;
        for (x += sx, y += sy; x >= 0 && y >= 0 && x < W && y < H && copia(x, y) != 255; x += sx, y += sy) ++n;
        return n;
    }

    // Returns whether a candidate was accepted; appends the choice.
    bool search(int minX, int maxX, int minY, int maxY, std::vector<Seg>& segmento, bool& chosen)
    {
        std::vector<E> estremi;
        for (int xx = minX; xx <= maxX; ++xx) {
            if (im(xx, minY) != 255) estremi.push_back({xx, minY, 0});
            if (im(xx, maxY) != 255) estremi.push_back({xx, maxY, 2});
        }
        for (int yy = minY; yy <= maxY; ++yy) {
            if (im(minX, yy) != 255) estremi.push_back({minX, yy, 3});
            if (im(maxX, yy) != 255) estremi.push_back({maxX, yy, 1});
        }
        struct C {
            int x1, y1, x2, y2;
            double q, rapporto;
        };
        std::vector<C> cands;
        std::vector<SP> ps;
        for (std::size_t a = 0; a < estremi.size(); ++a)
            for (std::size_t b = a + 1; b < estremi.size(); ++b) {
                const E& ea = estremi[a];
                const E& eb = estremi[b];
                if (!(raggiunto(ea.x, ea.y) == 0 || raggiunto(eb.x, eb.y) == 0)) continue;
                if (ea.lato == eb.lato) continue;
                if (!(std::abs(ea.x - eb.x) * 1.2 > std::abs(maxX - minX) ||
                      std::abs(ea.y - eb.y) * 1.2 > std::abs(maxY - minY)))
                    continue;
                const int n = calc_punt_seg(ea.x, ea.y, eb.x, eb.y, ps);
                bool ok = true;
                for (int i = 0; i < n; ++i)
                    if (im(ps[i].x, ps[i].y) == 255) ok = false;
                if (!ok) continue;
                const double rapporto =
                    (std::abs(ea.y - eb.y) + 1) / static_cast<double>(std::abs(ea.x - eb.x) + 1);
                std::vector<int> cd(n), cs(n), cg(n), cu(n);
                double qo = 999999, qv = 999999, asim = 0;
                if (rapporto > 0.5) {
                    for (int i = 0; i < n; ++i) {
                        cd[i] = run_len(ps[i].x, ps[i].y, 1, 0);
                        cs[i] = run_len(ps[i].x, ps[i].y, -1, 0);
                    }
                    asim = 0;
                    for (int i = 0; i < n; ++i) asim += std::abs(cd[i] - cs[i]);
                    asim /= n;
                    double s = 0;
                    int k = 0;
                    for (int i = 0; i < n; ++i)
                        if (std::abs(cd[i] - cs[i]) <= std::ceil(2 * asim)) {
                            s += std::abs(cd[i] - cs[i]);
                            ++k;
                        }
                    qo = s / k;
                }
                if (rapporto < 2) {
                    for (int i = 0; i < n; ++i) {
                        cg[i] = run_len(ps[i].x, ps[i].y, 0, 1);
                        cu[i] = run_len(ps[i].x, ps[i].y, 0, -1);
                    }
                    asim = 0;
                    for (int i = 0; i < n; ++i) asim += std::abs(cg[i] - cu[i]);
                    asim /= n;
                    double s = 0;
                    int k = 0;
                    for (int i = 0; i < n; ++i)
                        if (std::abs(cg[i] - cu[i]) <= std::ceil(2 * asim)) {
                            s += std::abs(cg[i] - cu[i]);
                            ++k;
                        }
                    qv = s / k;
                }
                cands.push_back({ea.x, ea.y, eb.x, eb.y, qo < qv ? qo : qv, rapporto});
            }
        chosen = false;
        if (cands.empty()) return false;
        auto len = [](const C& c) {
            const int dx = c.x2 - c.x1, dy = c.y2 - c.y1;
            return std::sqrt(static_cast<double>(dx * dx + dy * dy)) + 1;
        };
        double score = cands[0].q - len(cands[0]) / 10, bestL = 0;
        int choice = -1;
        for (std::size_t s = 0; s < cands.size(); ++s) {
            if (!(cands[s].q <= 1)) continue;
            const double sc = cands[s].q - len(cands[s]) / 10;
            if (score > sc || (score == sc && len(cands[s]) > bestL)) {
                score = sc;
                bestL = len(cands[s]);
                choice = static_cast<int>(s);
            }
        }
        if (choice >= 0) {
            const C& c = cands[choice];
            segmento.push_back({c.x1, c.y1, c.x2, c.y2, c.rapporto, score});
            chosen = true;
        }
        return true;
    }

    void band(const Seg& s, std::vector<SP>& ps, bool horizontal)
    {
        std::vector<P> punto;
        for (SP& p : ps) {
            int larg = 0;
            if (horizontal) {
                for (int xx = p.x; xx < W && im(xx, p.y) != 255; ++xx, ++larg) punto.push_back({xx, p.y});
                if (p.x > 0)
                    for (int xx = p.x - 1; xx >= 0 && im(xx, p.y) != 255; --xx, ++larg) punto.push_back({xx, p.y});
                p.larg_o = larg;
            } else {
                for (int yy = p.y; yy < H && im(p.x, yy) != 255; ++yy, ++larg) punto.push_back({p.x, yy});
                if (p.y > 0)
                    for (int yy = p.y - 1; yy >= 0 && im(p.x, yy) != 255; --yy, ++larg) punto.push_back({p.x, yy});
                p.larg_v = larg;
            }
        }
        (void)s;
        double mean = 0;
        for (const SP& p : ps) mean += horizontal ? p.larg_o : p.larg_v;
        mean /= ps.size();
        double w = 0;
        int k = 0;
        for (const SP& p : ps) {
            const int l = horizontal ? p.larg_o : p.larg_v;
            if (l <= std::ceil(1.1 * mean)) {
                w += l;
                ++k;
            }
        }
        w /= k;
        for (const P& q : punto) {
            std::size_t first = 0;
            while ((horizontal ? ps[first].y != q.y : ps[first].x != q.x)) ++first;
            const SP& p = ps[first];
            if (std::ceil(w) >= (horizontal ? p.larg_o : p.larg_v)) {
                if (horizontal || im(q.x, q.y) != 200) im(q.x, q.y) = 250;
            } else {
                int mark = -1;
                if (im(q.x, q.y) == 0) mark = 200;
                else if (im(q.x, q.y) == 100) mark = 250;
                const int dist = horizontal ? std::abs(q.x - p.x) : std::abs(q.y - p.y);
                if (mark >= 0 && dist <= std::ceil(1.2 * w)) im(q.x, q.y) = static_cast<std::uint8_t>(mark);
            }
        }
    }

    void grow(int sx, int sy)
    {
        std::vector<P> punto{{sx, sy}};
        raggiunto(sx, sy) = 0;
        std::size_t count = 1, next = 0, prev = 0;
        bool fresh = false, found = false, stop = false;
        int failures = 0;
        std::vector<Seg> segmento;
        int minX = 0, maxX = 0, minY = 0, maxY = 0;
        while (next < count && !stop) {
            const P c = punto[next];
            bool grew = false;
            if (next == 0) {
                minX = maxX = c.x;
                minY = maxY = c.y;
            } else {
                for (std::size_t i = prev; i < count; ++i) {
                    if (punto[i].x < minX) minX = punto[i].x, grew = true;
                    if (punto[i].x > maxX) maxX = punto[i].x, grew = true;
                    if (punto[i].y < minY) minY = punto[i].y, grew = true;
                    if (punto[i].y > maxY) maxY = punto[i].y, grew = true;
                }
            }
            prev = count;
            if (next > 3 && grew && fresh) {
                stop = true;
                bool chosen = false;
                if (search(minX, maxX, minY, maxY, segmento, chosen)) stop = false;
                if (chosen) {
                    found = true;
                    failures = 0;
                } else {
                    ++failures;
                    if (failures > 100) stop = true;
                }
            }
            const std::size_t before = count;
            for (int i = 0; i < 8; ++i) {
                const int xx = c.x + nx8[i], yy = c.y + ny8[i];
                if (xx < 0 || yy < 0 || xx >= W || yy >= H) continue;
                if (im(xx, yy) != 255 && !check(punto, count, xx, yy)) {
                    punto.push_back({xx, yy});
                    ++count;
                }
            }
            for (std::size_t i = before; i < count; ++i) {
                raggiunto(punto[i].x, punto[i].y) = 0;
                if (im(punto[i].x, punto[i].y) == 0) fresh = true;
            }
            ++next;
        }
        if (!found) return;
        std::size_t best = 0;
        for (std::size_t i = 0; i < segmento.size(); ++i)
            if (segmento[i].punteggio <= segmento[best].punteggio) best = i;
        const Seg s = segmento[best];
        out.push_back({s.x1, s.y1, s.x2, s.y2, s.punteggio});
        std::vector<SP> ps;
        calc_punt_seg(s.x1, s.y1, s.x2, s.y2, ps);
        say(console, "\nESTRATTO SEGMENTO: %d %d %d %d", s.x1, s.y1, s.x2, s.y2);
        if (s.rapporto > 0.5) band(s, ps, true);
        if (s.rapporto < 2) band(s, ps, false);
        raggiunto.fill(255);
        for (auto& v : im.cells()) {
            if (v == 200) v = 100;
            else if (v == 250) v = 255;
        }
    }

    void run()
    {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (im(x, y) != 255) grow(x, y);
    }
};

}  // namespace

std::vector<Segment> extract_segments(Grid<std::uint8_t>& immagine, std::string& console)
{
    Extractor e(immagine, console);
    e.run();
    return e.out;
}

Run filtra(const Grid<std::uint8_t>& img, const VorlixParameters& p)
{
    Run run;
    std::vector<Segment> segs;
    bool any = false;
    for (std::uint8_t v : img.cells())
        if (v != 0) any = true;
    if (any) {
        Grid<std::uint8_t> mask = detect_lines(img, p, run.console);
        say(run.console, "\nScrittura files...\n");
        clean_line_mask(mask);
        segs = extract_segments(mask, run.console);
    }
    for (const Segment& s : segs) {
        char line[128];
        std::snprintf(line, sizeof line, "%5d %5d %5d %5d %5.2f\r\n", s.x1, s.y1, s.x2, s.y2, s.punteggio);
        run.segments_file += line;
    }
    say(run.console, "\n\n### END ###\n");
    return run;
}

}  // namespace reference
