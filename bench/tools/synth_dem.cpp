// Deterministic synthetic terrain for the comparisons: fractal relief (octaves of value noise on
// an integer lattice hashed from the seed) cut by valleys (a ridged octave folded downward), with
// a regional tilt so that water has somewhere to go. Same size and seed -> same bytes on every
// machine: only integer hashing and IEEE double arithmetic in a fixed order.
//
//   orvane_synth_dem SIZE SEED OUT_m4.raw
//
// Writes OUT (signed 32-bit little-endian, elevations in decimetres, top line first) and its
// header OUT with .txt (lines, columns). Cost: 6 octaves per cell, linear in cells.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::uint32_t Hash(std::int64_t x, std::int64_t y, std::uint32_t seed, std::uint32_t octave) {
  std::uint64_t h = static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ULL ^
                    static_cast<std::uint64_t>(y) * 0xC2B2AE3D27D4EB4FULL ^
                    (static_cast<std::uint64_t>(seed) << 32 | octave) * 0x165667B19E3779F9ULL;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDULL;
  h ^= h >> 33;
  h *= 0xC4CEB9FE1A85EC53ULL;
  h ^= h >> 33;
  return static_cast<std::uint32_t>(h);
}

double Lattice(std::int64_t x, std::int64_t y, std::uint32_t seed, std::uint32_t octave) {
  return Hash(x, y, seed, octave) / 4294967295.0 * 2.0 - 1.0;  // [-1, 1]
}

// Smooth value noise: bilinear with a quintic fade between lattice values.
double Noise(double x, double y, std::uint32_t seed, std::uint32_t octave) {
  const double fx = std::floor(x), fy = std::floor(y);
  const auto ix = static_cast<std::int64_t>(fx), iy = static_cast<std::int64_t>(fy);
  const double tx = x - fx, ty = y - fy;
  const double sx = tx * tx * tx * (tx * (tx * 6 - 15) + 10);
  const double sy = ty * ty * ty * (ty * (ty * 6 - 15) + 10);
  const double a = Lattice(ix, iy, seed, octave), b = Lattice(ix + 1, iy, seed, octave);
  const double c = Lattice(ix, iy + 1, seed, octave), d = Lattice(ix + 1, iy + 1, seed, octave);
  return (a + (b - a) * sx) * (1 - sy) + (c + (d - c) * sx) * sy;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: orvane_synth_dem SIZE SEED OUT_m4.raw\n");
    return 2;
  }
  const long size = std::atol(argv[1]);
  const auto seed = static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 10));
  const std::string out = argv[3];
  if (size < 2 || size > 40000) {
    std::fprintf(stderr, "orvane_synth_dem: SIZE must be 2..40000\n");
    return 2;
  }
  // Features scale with the grid: the coarsest octave spans about a quarter of the side, so a
  // larger DEM is more terrain of the same kind, not the same terrain magnified.
  const double base = 1.0 / 250.0;
  std::FILE* f = std::fopen(out.c_str(), "wb");
  if (!f) {
    std::perror(out.c_str());
    return 1;
  }
  std::vector<std::int32_t> row(static_cast<std::size_t>(size));
  for (long line = 0; line < size; ++line) {
    for (long column = 0; column < size; ++column) {
      const double x = column * base, y = line * base;
      double height = 0, amplitude = 400, frequency = 1;
      for (std::uint32_t octave = 0; octave < 6; ++octave) {
        height += amplitude * Noise(x * frequency, y * frequency, seed, octave);
        amplitude *= 0.5;
        frequency *= 2.03;
      }
      // Valleys: where a ridged octave approaches zero, fold the surface down.
      const double ridge = std::fabs(Noise(x * 1.7 + 31.1, y * 1.7 - 7.3, seed, 99));
      height -= 250.0 * std::exp(-ridge * 9.0);
      height += 0.08 * (size - line) + 0.03 * column;  // regional tilt, metres per pixel
      row[static_cast<std::size_t>(column)] = static_cast<std::int32_t>((height + 1500.0) * 10.0);
    }
    for (auto& v : row) {  // little-endian on any host
      const auto u = static_cast<std::uint32_t>(v);
      unsigned char bytes[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                                static_cast<unsigned char>(u >> 16),
                                static_cast<unsigned char>(u >> 24)};
      std::fwrite(bytes, 1, 4, f);
    }
  }
  if (std::fclose(f) != 0) {
    std::perror(out.c_str());
    return 1;
  }
  std::string header = out;
  const auto dot = header.rfind('.');
  header = (dot == std::string::npos ? header : header.substr(0, dot)) + ".txt";
  std::FILE* h = std::fopen(header.c_str(), "wb");
  if (!h || std::fprintf(h, "%ld\r\n%ld\r\n", size, size) < 0 || std::fclose(h) != 0) {
    std::perror(header.c_str());
    return 1;
  }
  return 0;
}
