// Sub-meshes of the engine's own meshes: the builders' exact vertices and triangles, refusals of counts
// that 16-bit indices cannot hold, picking maths, key-frame animation and the transform chain.
#include <gtest/gtest.h>

#include <cmath>

#include "quib/scene/frames/frame.h"
#include "quib/scene/math/matrix_math.h"
#include "quib/scene/math/quaternion.h"
#include "quib/scene/mesh/dp_sub_mesh.h"

namespace {

void ExpectVertex(const DPVertex& v, float x, float y, float z) {
    EXPECT_FLOAT_EQ(x, v.x);
    EXPECT_FLOAT_EQ(y, v.y);
    EXPECT_FLOAT_EQ(z, v.z);
}

void ExpectTriangle(const DPTriangle& t, int a, int b, int c) {
    EXPECT_EQ(a, t.v[0]);
    EXPECT_EQ(b, t.v[1]);
    EXPECT_EQ(c, t.v[2]);
}

void ExpectMatrixNear(const D3DMATRIX& expected, const D3DMATRIX& actual) {
    const float* e = &expected._11;
    const float* a = &actual._11;
    for (int i = 0; i < 16; ++i)
        EXPECT_NEAR(e[i], a[i], 1e-5f) << "element " << i;
}

D3DMATRIX Identity() {
    D3DMATRIX m;
    matrix_identity(&m);
    return m;
}

// One triangle with corners p0, p1, p2 (y = height).
void MakeTriangle(DPSubMesh& sub, float x, float height, float z) {
    const DPVertex v[3] = {
        {x, height, z, 0, 0, 0, 0, 0}, {x + 1, height, z, 0, 0, 0, 0, 0}, {x, height, z + 1, 0, 0, 0, 0, 0}};
    const DPTriangle t[1] = {{{0, 1, 2}}};
    ASSERT_EQ(1, sub.Init(3, 1, v, t));
}

} // namespace

TEST(DPSubMeshBuilders, BoxHasTheListedCornersAndTriangles) {
    DPSubMesh box;
    ASSERT_EQ(1, box.MakeBox(0, 1, 2, 3, 4, 5));
    ASSERT_EQ(8, box.vertexCount);
    ASSERT_EQ(12, box.triangleCount);
    ExpectVertex(box.vertices[0], 0, 1, 2);
    ExpectVertex(box.vertices[2], 3, 1, 5);
    ExpectVertex(box.vertices[5], 3, 4, 2);
    ExpectVertex(box.vertices[7], 0, 4, 5);
    ExpectTriangle(box.triangles[0], 0, 1, 2);
    ExpectTriangle(box.triangles[3], 4, 7, 6);
    ExpectTriangle(box.triangles[11], 3, 4, 0);
    EXPECT_FLOAT_EQ(1.0f, box.GetMinimumY());
}

TEST(DPSubMeshBuilders, GridPlacesRowsWithTextureCoordinatesAndTwoTrianglesPerCell) {
    DPSubMesh grid;
    ASSERT_EQ(1, grid.MakeGrid(2, 1, 2, 1));
    ASSERT_EQ(6, grid.vertexCount);
    ASSERT_EQ(4, grid.triangleCount);
    ExpectVertex(grid.vertices[1], 1, 0, 0);
    ExpectVertex(grid.vertices[5], 2, 0, 1);
    EXPECT_FLOAT_EQ(0.5f, grid.vertices[4].tu);
    EXPECT_FLOAT_EQ(1.0f, grid.vertices[4].tv);
    EXPECT_FLOAT_EQ(0.0f, grid.vertices[4].nx + grid.vertices[4].ny + grid.vertices[4].nz); // zeroed
    ExpectTriangle(grid.triangles[0], 1, 3, 4);
    ExpectTriangle(grid.triangles[1], 0, 3, 1);
    ExpectTriangle(grid.triangles[2], 2, 4, 5);
    ExpectTriangle(grid.triangles[3], 1, 4, 2);
}

TEST(DPSubMeshBuilders, CheckerboardOffsetsOddRows) {
    DPSubMesh board;
    ASSERT_EQ(1, board.MakeCheckerboard(1, 1, 4));
    ASSERT_EQ(32, board.vertexCount);
    ASSERT_EQ(16, board.triangleCount);
    ExpectVertex(board.vertices[0], -1, 0, -1);
    ExpectVertex(board.vertices[2], -0.5f, 0, -0.5f);
    ExpectVertex(board.vertices[4], 0, 0, -1);        // second square of row 0
    ExpectVertex(board.vertices[8], -0.5f, 0, -0.5f); // row 1 starts one square in
    ExpectTriangle(board.triangles[2], 4, 7, 6);
    ExpectTriangle(board.triangles[3], 4, 6, 5);
}

TEST(DPSubMeshBuilders, CountsBeyondSixteenBitsOrEmptyGridsAreRefusedAndLeaveItEmpty) {
    DPSubMesh sub;
    ASSERT_EQ(1, sub.MakeBox(0, 0, 0, 1, 1, 1));
    EXPECT_EQ(0, sub.Init(65536, 1));
    EXPECT_EQ(0, sub.vertexCount);
    EXPECT_EQ(nullptr, sub.vertices);
    EXPECT_EQ(0, sub.MakeGrid(1, 1, 0, 4));
    EXPECT_EQ(0, sub.MakeGrid(1, 1, 256, 256)); // 66049 vertices
    EXPECT_EQ(0, sub.MakeCheckerboard(1, 1, 0));
    EXPECT_EQ(0, sub.MakeCheckerboard(1, 1, 182)); // 66248 vertices
    EXPECT_EQ(0, sub.vertexCount);
    EXPECT_FLOAT_EQ(1000000.0f, sub.GetMinimumY());
    EXPECT_EQ(1, sub.MakeGrid(1, 1, 254, 128)); // 32895 vertices, 65024 triangles: fits
}

TEST(DPSubMeshPicking, TriangleInfoHoldsCentroidUnnormalisedNormalAndPlaneDistance) {
    DPSubMesh sub;
    MakeTriangle(sub, 0, 2, 0);
    ASSERT_EQ(1, sub.ComputeTriangleInfo());
    const DPTriInfo& info = sub.triInfo[0];
    EXPECT_FLOAT_EQ(1.0f / 3, info.cx);
    EXPECT_FLOAT_EQ(2.0f, info.cy);
    EXPECT_FLOAT_EQ(0.0f, info.nx);
    EXPECT_FLOAT_EQ(-1.0f, info.ny);
    EXPECT_FLOAT_EQ(2.0f, info.d); // -(n . p0) = -(-1 * 2)
    DPTriInfo single{};
    EXPECT_EQ(0, sub.ComputeTriangleInfo(1, &single));
}

TEST(DPSubMeshPicking, RebuildingTheGeometryDropsStaleTriangleInformation) {
    DPSubMesh sub;
    MakeTriangle(sub, 0, 0, 0);
    ASSERT_EQ(1, sub.ComputeTriangleInfo());
    ASSERT_EQ(1, sub.MakeBox(10, 10, 10, 11, 11, 11)); // 12 triangles now
    EXPECT_EQ(nullptr, sub.triInfo);
    int index = -1;
    float dist2 = 0;
    sub.FindClosestTriangle(10, 10, 10, index, dist2);
    EXPECT_GE(index, 0);
    EXPECT_LT(index, 12);
}

TEST(DPSubMeshPicking, ClosestTriangleFirstWinsTiesAndNothingBeyondRangeLeavesIndex) {
    DPSubMesh sub;
    const DPVertex v[4] = {{-1, 0, 0, 0, 0, 0, 0, 0},
                           {1, 0, 0, 0, 0, 0, 0, 0},
                           {0, 0, 3, 0, 0, 0, 0, 0},
                           {0, 0, -3, 0, 0, 0, 0, 0}};
    const DPTriangle t[2] = {{{0, 1, 2}}, {{0, 1, 3}}}; // centroids (0, 0, 1) and (0, 0, -1)
    ASSERT_EQ(1, sub.Init(4, 2, v, t));
    int index = -1;
    float dist2 = 0;
    sub.FindClosestTriangle(0, 0, 0, index, dist2);
    EXPECT_EQ(0, index);
    EXPECT_NEAR(1.0f, dist2, 1e-5f);
    sub.FindClosestTriangle(0, 0, -0.5f, index, dist2);
    EXPECT_EQ(1, index);
    index = -7;
    sub.FindClosestTriangle(0, 1000, 0, index, dist2);
    EXPECT_EQ(-7, index);
    EXPECT_FLOAT_EQ(1000000.0f, dist2);
}

TEST(DPSubMeshPicking, PlaneIntersectionAndParallelSegments) {
    const D3DVECTOR a{0, 1, 0}, b{0, -1, 0}, up{0, 1, 0};
    D3DVECTOR out{9, 9, 9};
    ASSERT_EQ(1, FindPlaneIntersection(a, b, up, -0.5f, out)); // the plane y = 0.5
    EXPECT_FLOAT_EQ(0.5f, out.y);
    const D3DVECTOR c{1, 1, 0}, side{1, 0, 0};
    out = D3DVECTOR{9, 9, 9};
    EXPECT_EQ(0, FindPlaneIntersection(a, c, up, 0.0f, out));
    EXPECT_EQ(0, FindPlaneIntersection(a, b, side, 0.0f, out));
    EXPECT_FLOAT_EQ(9.0f, out.x);
}

TEST(DPSubMeshAnimation, RotationIsRelativeToTheFirstKey) {
    DPSubMesh sub;
    const float s = std::sqrt(0.5f);
    sub.rotationKeys =
        new DPRotationKey[2]{{0, {1, 0, 0, 0}}, {10, {s, 0, s, 0}}}; // 0 and 90 degrees about y
    sub.rotationKeyCount = 2;
    sub.SetFrameNumber(5);
    const Quaternion half{std::cos(float(M_PI) / 8), 0, std::sin(float(M_PI) / 8), 0};
    D3DMATRIX expected;
    quat_to_matrix(&half, &expected);
    ExpectMatrixNear(expected, sub.local);
    sub.SetFrameNumber(20); // outside every interval
    ExpectMatrixNear(Identity(), sub.local);
}

TEST(DPSubMeshAnimation, SingleRotationKeyGivesTheIdentityAtAnyFrame) {
    DPSubMesh sub;
    sub.rotationKeys = new DPRotationKey[1]{{5, {0.6f, 0.8f, 0, 0}}};
    sub.rotationKeyCount = 1;
    for (int n : {5, 7}) {
        sub.SetFrameNumber(n);
        ExpectMatrixNear(Identity(), sub.local);
    }
}

TEST(DPSubMeshAnimation, PositionKeysGiveTheOffsetFromTheFirstKey) {
    DPSubMesh sub;
    sub.positionKeys = new DPPositionKey[2]{{0, 1, 2, 3}, {10, 3, 2, 1}};
    sub.positionKeyCount = 2;
    sub.SetFrameNumber(5);
    EXPECT_FLOAT_EQ(1.0f, sub.local._41);
    EXPECT_FLOAT_EQ(0.0f, sub.local._42);
    EXPECT_FLOAT_EQ(-1.0f, sub.local._43);
    EXPECT_FLOAT_EQ(1.0f, sub.local._44);
}

TEST(DPSubMeshHierarchy, TransformKeepsTheKeyFrameOffsetAndPlacesChildren) {
    DPSubMesh parent, child;
    parent.children->Add(&child);
    child.parent = &parent;
    parent.base._41 = 10.0f;
    parent.local._41 = 1.0f; // key-frame offset
    parent.local._43 = -1.0f;
    child.base._42 = 5.0f;
    D3DMATRIX m = Identity();
    m._43 = 100.0f;
    for (int pass = 0; pass < 2; ++pass) { // a second draw must see the same offset
        parent.Transform(m);
        EXPECT_FLOAT_EQ(11.0f, parent.world._41);
        EXPECT_FLOAT_EQ(99.0f, parent.world._43);
        EXPECT_FLOAT_EQ(11.0f, child.world._41);
        EXPECT_FLOAT_EQ(5.0f, child.world._42);
        EXPECT_FLOAT_EQ(99.0f, child.world._43);
    }
    EXPECT_FLOAT_EQ(1.0f, parent.local._41);
}

TEST(DPSubMeshHierarchy, TransformedExtentsCoverAllCornersOfAMirroredBox) {
    DPSubMesh sub;
    const float box[6] = {0, 1, 0, 2, 0, 3};
    std::copy(box, box + 6, sub.extents);
    D3DMATRIX mirror = Identity();
    mirror._11 = -1.0f;
    sub.TransformExtents(mirror);
    EXPECT_FLOAT_EQ(-1.0f, sub.extents[0]);
    EXPECT_FLOAT_EQ(0.0f, sub.extents[1]);
    EXPECT_FLOAT_EQ(3.0f, sub.extents[5]);
    EXPECT_FLOAT_EQ(-0.5f, sub.centre[0]);
    EXPECT_FLOAT_EQ(std::sqrt(0.25f + 1.0f + 2.25f), sub.radius);
    sub.ScaleExtents(2, 0, 0);
    EXPECT_FLOAT_EQ(1.0f, sub.radius);
}

TEST(DPSubMeshHierarchy, ASharedFrameIsNotDeletedWithTheSubMesh) {
    Frame shared(nullptr, nullptr);
    {
        DPSubMesh sub;
        DPSubMesh child;
        sub.children->Add(&child);
        sub.SetFrame(&shared);
        EXPECT_EQ(&shared, sub.frame);
        EXPECT_EQ(&shared, child.frame);
    } // ASan reports a delete of the stack frame here if ownership were wrong
}

TEST(DPSubMeshDeltaFrames, RecordTheChangedVerticesSoApplyingGivesTheOtherShape) {
    DPSubMesh rest, pose;
    ASSERT_EQ(1, rest.MakeBox(0, 0, 0, 1, 1, 1));
    ASSERT_EQ(1, pose.MakeBox(0, 0, 0, 1, 1, 1));
    pose.vertices[2].y = -4.0f;
    pose.vertices[6].x = 7.0f;
    DPSubMeshDeltaFrame* delta = rest.CreateDeltaFrame(pose);
    ASSERT_EQ(2, delta->count);
    EXPECT_EQ(0, delta->reserved);
    EXPECT_EQ(2, delta->records[0].index);
    EXPECT_EQ(6, delta->records[1].index);
    rest.ApplyDeltaFrame(*delta);
    for (int i = 0; i < 8; ++i)
        ExpectVertex(rest.vertices[i], pose.vertices[i].x, pose.vertices[i].y, pose.vertices[i].z);
    delete delta;

    DPSubMesh small; // records naming vertices it lacks are skipped
    ASSERT_EQ(1, small.Init(2, 0));
    DPSubMeshDeltaFrame outside(1);
    outside.records[0] = DPDeltaRecord{5, 1, 1, 1};
    small.ApplyDeltaFrame(outside);
    ExpectVertex(small.vertices[1], 0, 0, 0);
}

TEST(DPSubMeshExtents, BoxCentreRadiusAndSmoothedNormals) {
    DPSubMesh grid;
    ASSERT_EQ(1, grid.MakeGrid(2, 4, 2, 2));
    grid.vertices[4].y = 1.0f; // raise the middle vertex
    grid.compute_extents();
    EXPECT_FLOAT_EQ(0.0f, grid.extents[0]);
    EXPECT_FLOAT_EQ(2.0f, grid.extents[1]);
    EXPECT_FLOAT_EQ(1.0f, grid.extents[3]);
    EXPECT_FLOAT_EQ(4.0f, grid.extents[5]);
    EXPECT_FLOAT_EQ(0.5f, grid.centre[1]);
    EXPECT_FLOAT_EQ(std::sqrt(1.0f + 0.25f + 4.0f), grid.radius);
    const DPVertex& top = grid.vertices[4]; // symmetric hill: straight up its axis (the grid winds to +y)
    EXPECT_NEAR(0.0f, top.nx, 1e-5f);
    EXPECT_NEAR(1.0f, top.ny, 1e-5f);
    EXPECT_NEAR(0.0f, top.nz, 1e-5f);
    for (int i = 0; i < grid.vertexCount; ++i) {
        const DPVertex& v = grid.vertices[i];
        EXPECT_NEAR(1.0f, v.nx * v.nx + v.ny * v.ny + v.nz * v.nz, 1e-5f) << i;
    }
}

TEST(DPSubMeshExtents, SharedPositionsShareANormalAndUntouchedVerticesGetZero) {
    const DPVertex v[5] = {{0, 0, 0, 0, 0, 0, 0, 0},
                           {1, 0, 0, 0, 0, 0, 0, 0},
                           {0, 0, 1, 0, 0, 0, 0, 0},
                           {0.01f, 0, 0, 0, 0, 0, 0, 0},
                           {5, 5, 5, 0, 0, 0, 0, 0}};
    const DPTriangle t[1] = {{{0, 1, 2}}};
    DPSubMesh sub;
    ASSERT_EQ(1, sub.Init(5, 1, v, t));
    sub.compute_extents();
    EXPECT_FLOAT_EQ(-1.0f, sub.vertices[0].ny);
    EXPECT_FLOAT_EQ(-1.0f, sub.vertices[3].ny); // within 1/32 of vertex 0
    EXPECT_FLOAT_EQ(0.0f, sub.vertices[4].ny);  // no triangle: zero, not NaN
    EXPECT_FLOAT_EQ(0.0f, sub.vertices[4].nx);
}

TEST(DPSubMeshExtents, EmptyResetAndScale) {
    DPSubMesh empty;
    empty.compute_extents();
    EXPECT_FLOAT_EQ(0.0f, empty.centre[0]);
    EXPECT_FLOAT_EQ(0.0f, empty.radius);
    DPSubMesh box;
    ASSERT_EQ(1, box.MakeBox(1, 1, 1, 2, 3, 4));
    box.Scale(2, 1, -1);
    EXPECT_FLOAT_EQ(2.0f, box.extents[0]);
    EXPECT_FLOAT_EQ(-4.0f, box.extents[4]);
    EXPECT_FLOAT_EQ(-1.0f, box.extents[5]);
    box.Reset();
    EXPECT_FLOAT_EQ(0.0f, box.extents[1]);
    EXPECT_FLOAT_EQ(0.0f, box.radius);
}
