#!/usr/bin/env bash
# libquib.so exports the 3D pipeline's settings, lights and primitives, the camera family and the drawing
# members of the exported mesh classes, the object family, as functions of its own (defined in its text).
# Both forms of the overloaded ones are there: world and screen lines and points, float and fixed-point
# camera and object placement, outlines of a list and of the queued objects. Nothing of the standard
# library is exported beside them.
# Usage: check_quib_exports.sh LIBQUIB
set -euo pipefail
library="$1"
status=0
fail() { echo "FAIL: $*"; status=1; }

# Defined functions: "NAME(PARAMETERS)" for every text symbol.
functions="$(nm -DC --defined-only "$library" | awk '$2 == "T" { $1 = ""; $2 = ""; sub(/^  /, ""); print }')"

for name in QuibSetFOV QuibWorldToScreen QuibFogEnable QuibFogParams QuibInitLights QuibLightsEnable \
            d3dUseAlpha d3dUseTexture 'DPSubMesh::Render' 'DPSubMesh::DrawExtents' \
            'DPSubMesh::HighlightTriangle' 'DPMeshGeo::DrawExtents' 'DPMesh::Render' QuibFreeCamera \
            QuibSetCamera QuibSetDefaultCamera QuibGetViewport QuibCameraGetOrientation \
            QuibCameraSetRotationOrderYPR QuibCameraSetRotationOrderPRY QuibSetCameraTransform \
            QuibGetCameraTransform QuibCameraTransform QuibSetZClipDistance QuibGetDistanceFromCamera \
            QuibCreateCamera QuibLoadObject QuibInitObject QuibMakeInstance QuibFreeObject QuibObjectPosition \
            QuibObjectRotation QuibObjectGetOrientation QuibObjectSetRotationOrderYPR \
            QuibObjectSetRotationOrderPRY QuibObjectScale QuibAddChild QuibDelChild QuibAddVisual \
            QuibAddDetailVisual QuibDeleteVisual QuibAddMesh QuibSetObjectSwitchDistances \
            QuibSetObjectSwitchRatios QuibSetObjectAttributes QuibGetObjectAttributes QuibUseMipMaps \
            QuibSetMipMapLevel QuibSetFogEnable QuibSetFogParams QuibSetFogColor QuibObjectSetRenderFlag \
            QuibObjectWasRejected QuibOutlineObject QuibAdjustShadow QuibGetObjectDistance \
            QuibGetObjectClosestDistance QuibFindMeshIntersection QuibTransformPointRelative QuibPickObject; do
    grep -qE "^$name\(" <<<"$functions" || fail "$name is not exported"
done
for name in d3dDrawLine d3dDrawDot QuibCameraOrientation QuibCameraLook QuibCameraLookAngle QuibCameraFollow \
            QuibTransformPoint QuibObjectOrientation QuibOutlineObjects; do
    count="$(grep -cE "^$name\(" <<<"$functions" || true)"
    [ "$count" = 2 ] || fail "$name: $count exported forms, expected two (float and integer, world and screen, list and none)"
done
grep -qF 'd3dDrawLine(D3DVECTOR const&, D3DVECTOR const&, unsigned long)' <<<"$functions" ||
    fail "the world-space d3dDrawLine is not exported"
grep -qF 'd3dDrawDot(int, int, unsigned long)' <<<"$functions" || fail "the screen-space d3dDrawDot is not exported"
for name in QuibFreeSkidmarks QuibClearSkidmarks QuibAddSkid QuibExtendSkid QuibRenderSkid QuibSkidsEnable; do
    grep -qE "^$name\(" <<<"$functions" || fail "$name is not exported"
done
[ "$(grep -cE '^QuibInitSkidmarks\(' <<<"$functions" || true)" = 2 ] ||
    fail "QuibInitSkidmarks: expected the forms without and with a texture"
for name in QuibSprite3DRender QuibSprite3DNextFrame QuibSprite3DScreenXY QuibSprite3DParameters \
            QuibSprite3DSurfaceChanged QuibFreeSprite3D QuibInitSmoke QuibFreeSmoke QuibClearSmoke QuibAddSmoke \
            QuibTickSmoke QuibSortSmoke QuibSetSmokeTA QuibCheckSmokePtr; do
    grep -qE "^$name\(" <<<"$functions" || fail "$name is not exported"
done
for name in QuibSprite3DCreate QuibRenderSmoke; do
    count="$(grep -cE "^$name\(" <<<"$functions" || true)"
    [ "$count" = 2 ] || fail "$name: $count exported forms, expected 2"
done

for name in QuibBeginScene QuibEndScene QuibRenderScene QuibRenderObject QuibRenderDisplayList \
            QuibSortDisplayList QuibSetRenderTypes QuibSetTextureTypes QuibIsRenderType \
            QuibIsTextureType QuibPelkDetailLevel QuibMakeParentChildRelationship QuibSortChildObjects \
            QuibAutoFramerateAdjust QuibAutoFramerateAdjustDelays QuibVPEnable QuibSetHorizonColor \
            QuibDrawingMirrors QuibSkidsEnable QuibCreateDisplayList QuibFreeDisplayList \
            QuibAddDisplayList 'MeshObject::MeshObject' 'MeshObject::Render' 'MeshObject::RenderDPMesh' \
            'MeshObject::LoadX' 'MeshObject::Load3DS' 'MeshObject::LoadMax' 'MeshObject::CreateDPMesh' \
            'MeshObject::FindMeshIntersection' 'MeshObject::Set3DSFrame' 'MeshObject::CreateShadow' \
            'DPMeshGeo::FindMeshIntersection'; do
    grep -qE "^$name\(" <<<"$functions" || fail "$name is not exported"
done
bash "$(dirname "$0")/no_std_exports.sh" "$library" || status=1
exit $status
