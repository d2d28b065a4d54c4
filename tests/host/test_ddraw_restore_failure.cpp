// The test switch that makes Restore of a lost surface fail, as a machine that cannot give the memory
// back would.
#include "test_d3d_support.h"

namespace {

using DDrawRestoreFailureTest = D3DTest;

TEST_F(DDrawRestoreFailureTest, LostSurfaceStaysLostWhileRestoreFails) {
    IDirectDrawSurface* surface = MakeSurface(8, 8, DDSCAPS_SYSTEMMEMORY);
    IDirectDrawSurface* other = MakeSurface(8, 8, DDSCAPS_SYSTEMMEMORY);
    HostDDrawMarkSurfaceLost(surface);
    HostDDrawSetRestoreFailure(DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(surface->Restore(), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(surface->IsLost(), DDERR_SURFACELOST);
    EXPECT_EQ(other->Restore(), DD_OK); // nothing to give back
    HostDDrawSetRestoreFailure(DD_OK);
    EXPECT_EQ(surface->Restore(), DD_OK);
    EXPECT_EQ(surface->IsLost(), DD_OK);
}

} // namespace
