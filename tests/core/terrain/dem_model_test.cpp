// Coding and rounding rules of the DEM model.
#include "core/terrain/dem_model.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orvane {
namespace {

std::int16_t StoredInt16(const TDemModel& m, int column, int line) {
  std::int16_t v;
  std::memcpy(&v, m.Row(line) + column * 2, 2);
  return v;
}

TEST(DemModel, NewModelDefaultsAndElementSizes) {
  TDemModel m(3, 2, kDemInt32);
  EXPECT_EQ(m.allocError, 0);
  EXPECT_TRUE(m.IsAllocated());
  EXPECT_EQ(m.lines, 2);
  EXPECT_EQ(m.columns, 3);
  EXPECT_EQ(m.offset, 0.0f);
  EXPECT_EQ(m.scale, 1.0f);
  EXPECT_EQ(m.pixelSizeX, 1.0f);
  EXPECT_EQ(m.pixelSizeY, 1.0f);
  EXPECT_EQ(m.producerText, "None");
  EXPECT_EQ(m.authorName, "Anonymous");
  EXPECT_EQ(m.smoothing3D, 0u);
  EXPECT_EQ(m.normalGrid, nullptr);
  const int sizes[] = {1, 2, 4, 4, 8};
  for (int type = 0; type < 5; ++type) {
    EXPECT_EQ(TDemModel::ElementSizeOf(static_cast<std::uint8_t>(type)), sizes[type]);
    TDemModel typed(2, 2, static_cast<std::uint8_t>(type));
    EXPECT_EQ(typed.elementSize, sizes[type]);
  }
  EXPECT_EQ(TDemModel::ElementSizeOf(5), 0);
}

TEST(DemModel, OffsetAndScaleCodingOfIntegerTypes) {
  TDemModel m(2, 1, kDemInt16);
  m.offset = 100.0f;
  m.scale = 0.5f;
  m.SetElevation(0, 0, 100.0);
  m.SetElevation(1, 0, 101.0);
  EXPECT_EQ(StoredInt16(m, 0, 0), 0);
  EXPECT_EQ(StoredInt16(m, 1, 0), 2);
  EXPECT_DOUBLE_EQ(m.GetElevation(0, 0), 100.0);
  EXPECT_DOUBLE_EQ(m.GetElevation(1, 0), 101.0);
}

TEST(DemModel, IntegerStoreAddsHalfAndTruncatesTowardZero) {
  TDemModel m(1, 1, kDemInt32);
  const std::pair<double, double> cases[] = {{-2.7, -2.0}, {2.5, 3.0}, {2.49, 2.0}, {-0.4, 0.0}, {-3.0, -2.0}};
  for (const auto& [value, stored] : cases) {
    m.SetElevation(0, 0, value);
    EXPECT_DOUBLE_EQ(m.GetElevation(0, 0), stored) << value;
  }
  TDemModel bytes(1, 1, kDemInt8);
  bytes.SetElevation(0, 0, -2.7);
  EXPECT_DOUBLE_EQ(bytes.GetElevation(0, 0), -2.0);
}

TEST(DemModel, ZeroScaleStoresTheValueItself) {
  TDemModel m(1, 1, kDemFloat32);
  m.offset = 10.0f;
  m.scale = 0.0f;
  m.SetElevation(0, 0, 7.25);
  float stored;
  std::memcpy(&stored, m.Row(0), 4);
  EXPECT_EQ(stored, 7.25f);
  EXPECT_DOUBLE_EQ(m.GetElevation(0, 0), 10.0);  // offset + 0 x stored
}

TEST(DemModel, DoubleTypeIgnoresScaleOnReading) {
  TDemModel m(2, 1, kDemFloat64);
  m.SetElevation(0, 0, 1234.5678);
  EXPECT_DOUBLE_EQ(m.GetElevation(0, 0), 1234.5678);
  m.offset = 5.0f;
  m.scale = 2.0f;
  m.SetElevation(1, 0, 25.0);  // stores (25 - 5) / 2 = 10, reads 5 + 10
  EXPECT_DOUBLE_EQ(m.GetElevation(1, 0), 15.0);
}

TEST(DemModel, WritesOutsideAreIgnored) {
  TDemModel m(2, 2, kDemInt32);
  m.Fill(7.0);
  m.SetElevation(-1, 0, 1.0);
  m.SetElevation(2, 0, 1.0);
  m.SetElevation(0, 2, 1.0);
  for (int l = 0; l < 2; ++l)
    for (int c = 0; c < 2; ++c) EXPECT_DOUBLE_EQ(m.GetElevation(c, l), 7.0);
}

TEST(DemModel, CloneLimitsAndExactCopy) {
  TDemModel tall(1, 8001, kDemInt8);
  EXPECT_EQ(tall.Clone(), nullptr);
  TDemModel limit(1, 8000, kDemInt8);
  EXPECT_NE(limit.Clone(), nullptr);

  TDemModel m(3, 2, kDemInt32);
  m.pixelSizeX = 90.0f;
  m.producerText = "signature";
  const int values[] = {-5, -1, 0, 3, 1076, -2147483647};
  for (int i = 0; i < 6; ++i) m.Int32Row(i / 3)[i % 3] = values[i];
  m.UpdateMinMax();
  auto copy = m.Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->pixelSizeX, 90.0f);
  EXPECT_EQ(copy->producerText, "signature");
  EXPECT_EQ(copy->minElevation, m.minElevation);
  // Negative stored values survive the copy unchanged.
  for (int i = 0; i < 6; ++i) EXPECT_EQ(copy->Int32Row(i / 3)[i % 3], values[i]);
}

TEST(DemModel, CopyValuesFromRefusesOtherShapes) {
  TDemModel a(2, 2, kDemInt32), b(2, 3, kDemInt32), c(2, 2, kDemInt16);
  EXPECT_EQ(a.CopyValuesFrom(nullptr).code(), kBadParameter);
  EXPECT_EQ(a.CopyValuesFrom(&b).code(), kBadParameter);
  EXPECT_EQ(a.CopyValuesFrom(&c).code(), kBadParameter);
  // Different coding: values go through the elevation.
  TDemModel coded(2, 2, kDemInt16);
  coded.offset = 100.0f;
  coded.scale = 0.5f;
  TDemModel plain(2, 2, kDemInt16);
  plain.Fill(104.0);
  EXPECT_TRUE(coded.CopyValuesFrom(&plain));
  EXPECT_EQ(StoredInt16(coded, 1, 1), 8);
  EXPECT_DOUBLE_EQ(coded.GetElevation(1, 1), 104.0);
}

TEST(DemModel, MinMaxOverTheGrid) {
  TDemModel flat(3, 3, kDemInt32);
  flat.Fill(42.0);
  flat.UpdateMinMax();
  EXPECT_EQ(flat.minElevation, 42.0f);
  EXPECT_EQ(flat.maxElevation, 42.0f);
  flat.SetElevation(2, 1, -3.0);
  flat.SetElevation(0, 2, 99.0);
  EXPECT_DOUBLE_EQ(flat.ComputeMin(), -2.0);  // -3 + 0.5 truncated
  EXPECT_DOUBLE_EQ(flat.ComputeMax(), 99.0);
}

TEST(DemModel, MinMaxOfCodedIntegerGridsIsTheCellByCellScan) {
  // Figures from the two extreme stored values must be those of every cell's elevation, for
  // shrinking, growing and reversing codings alike.
  TDemModel m(4, 3, kDemInt32);
  const int values[] = {17, -2000000000, 3, 0, 2147483647, -1, 5, 99999, -7, 12, 1, 2};
  for (int i = 0; i < 12; ++i) m.Int32Row(i / 4)[i % 4] = values[i];
  for (const auto& [offset, scale] : {std::pair{0.0f, 1.0f}, {-40.0f, 0.1f}, {250.5f, -3.0f}, {1.0f, 0.0f}}) {
    m.offset = offset;
    m.scale = scale;
    m.UpdateMinMax();
    EXPECT_EQ(m.minElevation, static_cast<float>(m.ComputeMin())) << scale;
    EXPECT_EQ(m.maxElevation, static_cast<float>(m.ComputeMax())) << scale;
  }
}

TEST(DemModel, NormalsPointUpAndSumTheTriangles) {
  TDemModel single(1, 1, kDemInt32);
  single.Fill(10.0);
  ASSERT_TRUE(single.ComputeNormals());
  EXPECT_EQ(single.normalGrid->z.At(0, 0), 0.0f);

  TDemModel plane(3, 3, kDemInt32);
  plane.Fill(5.0);
  ASSERT_TRUE(plane.ComputeNormals());
  EXPECT_FLOAT_EQ(plane.normalGrid->z.At(1, 1), 4.0f);  // four unit normals
  EXPECT_FLOAT_EQ(plane.normalGrid->z.At(0, 0), 1.0f);  // a corner has one triangle
  EXPECT_FLOAT_EQ(plane.normalGrid->z.At(1, 0), 2.0f);  // an edge has two
  EXPECT_FLOAT_EQ(plane.normalGrid->x.At(1, 1), 0.0f);
}

TEST(DemModel, BilinearSampleMixesFourCells) {
  TDemModel m(2, 2, kDemFloat64);
  m.SetElevation(0, 0, 0.0);
  m.SetElevation(1, 0, 10.0);
  m.SetElevation(0, 1, 20.0);
  m.SetElevation(1, 1, 30.0);
  EXPECT_DOUBLE_EQ(m.SampleBilinear(0.5, 0.5), 15.0);
  EXPECT_DOUBLE_EQ(m.SampleBilinear(1.0, 1.0), 30.0);  // last column and line reuse themselves
  EXPECT_DOUBLE_EQ(m.SampleBilinear(0.25, 0.0), 2.5);
}

TEST(DemModel, BernsteinSampleReproducesPlanesAndResampleSizes) {
  TDemModel m(10, 10, kDemFloat64);
  for (int l = 0; l < 10; ++l)
    for (int c = 0; c < 10; ++c) m.SetElevation(c, l, 3.0 * c + 2.0 * l);
  // A Bezier surface over a plane's control points is that plane.
  EXPECT_NEAR(m.SampleBernstein(4.3, 5.6, 3), 3.0 * 4.3 + 2.0 * 5.6, 1e-9);
  EXPECT_NEAR(m.SampleBernstein(0.2, 9.0, 5), 3.0 * 0.2 + 2.0 * 9.0, 1e-9);

  m.pixelSizeX = m.pixelSizeY = 90.0f;
  auto half = m.Resample(0.5, 0, 0);
  ASSERT_NE(half, nullptr);
  EXPECT_EQ(half->lines, 5);
  EXPECT_EQ(half->columns, 5);
  EXPECT_EQ(half->pixelSizeX, 180.0f);
  EXPECT_DOUBLE_EQ(half->GetElevation(2, 1), 3.0 * 4 + 2.0 * 2);
  EXPECT_EQ(m.Resample(0.0, 0, 0), nullptr);
  EXPECT_EQ(m.Resample(800.1, 0, 0), nullptr);  // 8001 lines
}

TEST(DemModel, ResampleReportsProgress) {
  TDemModel m(4, 4, kDemInt32);
  int begins = 0, ends = 0;
  double last = -1.0;
  m.OnProgressBegin = [&] { ++begins; };
  m.OnProgressStep = [&](double f) { last = f; };
  m.OnProgressEnd = [&] { ++ends; };
  ASSERT_NE(m.Resample(2.0, 1, 0), nullptr);
  EXPECT_EQ(begins, 1);
  EXPECT_EQ(ends, 1);
  EXPECT_DOUBLE_EQ(last, 1.0);
}

}  // namespace
}  // namespace orvane
