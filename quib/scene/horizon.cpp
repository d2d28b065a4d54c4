#include "quib/scene/horizon.h"

Horizon* g_pHorizon = nullptr;

Horizon::~Horizon() {
    if (m_material) m_material->Release();
    m_material = nullptr;
}

void FreeHorizon() {
    delete g_pHorizon;
    g_pHorizon = nullptr;
}
